#pragma once
// What the conversion window needs of the window that owns it (the main
// window): the run's mode and options, the source, the plan and the log.

#include <cstdint>
#include <string>

namespace tilbo {

class frmConversion;

class ConversionOwner {
 public:
  virtual ~ConversionOwner() = default;
  virtual bool IsAutoConvert() const = 0;
  virtual void ACLogWrite(const std::string& text, bool newLine) = 0;
  // The options of the main window, read when the conversion needs them.
  virtual bool LogExcludedOption() const = 0;
  virtual bool OverwriteOption() const = 0;
  virtual bool UseExistingOption() const = 0;
  virtual bool CreateNewOption() const = 0;
  // The reader handle of the source file.
  virtual int16_t SourceHandle() const = 0;
  // Hands every planned tile to conversion.AddFile, in plan order.
  virtual void SetFiles(frmConversion& conversion) = 0;
  // The run's result, stored once per run.
  virtual void SetConvertSuccess(bool success) = 0;
  // An unattended run needs no interaction with the owner: it is disabled.
  virtual void SetOwnerEnabled(bool enabled) = 0;
};

}  // namespace tilbo
