#pragma once
// The main window ("CTG Import") as a logic object: the state of its controls,
// its operations and event handlers, with no GUI dependency. The Qt window
// renders this state and forwards user events; AutoConvert and the tests drive
// the same object with a headless or scripted prompter.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion/ConversionOwner.h"
#include "shell/AutoConvertReport.h"
#include "ctg/frmBrowseRecords.h"
#include "registry/frmDirectories.h"
#include "shell/CommandLine.h"
#include "conversion/PlannedFile.h"
#include "shell/SourceDescription.h"
#include "suite/AppendLog.h"
#include "suite/FormLocation.h"
#include "suite/Prompter.h"

namespace tilbo {

struct CheckBox {
  bool ticked = false;
  bool enabled = true;
};

struct InputField {
  std::string text;
  bool enabled = true;
  // Window background when enabled, button face when disabled.
  bool windowBackground = true;
};

struct ComboBox : InputField {
  std::vector<std::string> items;
  int selected = -1;  // 0-based, -1 when none
};

enum class DefaultButton { Browse, Convert };

// What the main window asks of the window layer it runs in.
class MainWindowHost {
 public:
  virtual ~MainWindowHost() = default;
  // The open-file dialog; nothing when cancelled or failed.
  virtual std::optional<std::string> ChooseSourceFile(const std::string& title, const std::string& filter,
                                                      const std::string& initialPath) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  // The screen the window lives on, for restoring its position.
  virtual ScreenGeometry Screen() const = 0;
  // False for a run without windows (AutoConvert): nothing can have moved the
  // window, so its saved position is left exactly as it was read.
  virtual bool ShowsWindows() const { return true; }
  // Shows the conversion window modally; returns when it has closed.
  virtual void ShowConversionModal(frmConversion& conversion) = 0;
  // Shows the record browser modeless, owned by the main window.
  virtual void ShowRecordBrowser(frmBrowseRecords& browser) = 0;
  // Closes the record browser's window (its logic has been unloaded).
  virtual void CloseRecordBrowser() = 0;
  // Shows the directory picker modally; returns when it has closed.
  virtual void ShowDirectoryPickerModal(frmDirectories& picker) = 0;
};

// The result of ReadCTGFile.
enum class ReadResult : int16_t { Failed = 0, Read = 1, NotCTG = 2, NotFound = 3 };

class frmMain final : public ConversionOwner, public DirectoriesOwner {
 public:
  frmMain(Prompter& prompter, EventPump& pump, MainWindowHost& host, CommandLine commandLine);
  ~frmMain();
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  // --- Start-up and end -------------------------------------------------
  // The load step: settles the suite configuration, restores the window and
  // the options, reads the LUC directory list. Does not start AutoConvert.
  void Load();
  // The unload step: saves the window position and the options.
  void Unload();
  // The unattended run of one file (after Load); returns the exit status
  // (AutoConvertExit) and leaves the details in AutoConvertResult.
  int RunAutoConvert();

  // --- Operations ---------------------------------------------------------
  ReadResult ReadCTGFile();
  void ResetMainWindow();
  void EnableNewFileControls();
  void ShowCurrentFile();
  void ReadDirectories() override;
  // Appends one line to the open AutoConvert log; failures are ignored.
  void ACLogWrite(const std::string& text, bool newLine = true) override;

  // --- Events -------------------------------------------------------------
  void cmdBrowse_Click();
  void cmdNextFile_Click();
  void cmdPreviousFile_Click();
  void cboDirectories_Change(const std::string& text);
  void cboDirectories_LostFocus();
  void txtNewTitle_Change(const std::string& text);
  void chkUseExisting_Click(bool ticked);
  void cmdConvert_Click();
  void cmdDirectories_Click();

  // --- What the directory picker asks of its owner ----------------------------
  void SetDirectoryText(const std::string& text) override { cboDirectories_Change(text); }

  // The record browser while one is loaded.
  frmBrowseRecords* RecordBrowser() { return frmBrowseRecordsIsLoaded ? browser_.get() : nullptr; }

  // --- What the conversion window asks of its owner ----------------------------
  bool IsAutoConvert() const override { return AutoConvert; }
  bool LogExcludedOption() const override { return chkLogExcluded.ticked; }
  bool OverwriteOption() const override { return chkOverwrite.ticked; }
  bool UseExistingOption() const override { return chkUseExisting.ticked; }
  bool CreateNewOption() const override { return chkCreateNew.ticked; }
  int16_t SourceHandle() const override { return CTGFileHandle; }
  void SetFiles(frmConversion& conversion) override;
  void SetConvertSuccess(bool success) override { ConvertSuccess = success; }
  void SetOwnerEnabled(bool enabled) override { this->enabled = enabled; }

  // --- State other windows use ---------------------------------------------
  int16_t CTGFileHandle = -1;
  bool frmBrowseRecordsIsLoaded = false;
  bool ConvertSuccess = false;
  bool AutoConvert = false;
  std::string AutoConvertDestinationDir;
  std::string AutoConvertSourceFile;
  std::string AutoConvertLogFile;
  // What the last AutoConvert run did, for its exit status and standard error.
  AutoConvertOutcome AutoConvertResult;
  bool AutoConvertLogOpen() const { return autoConvertLog_.IsOpen(); }
  bool OpenAutoConvertLog(const std::string& path);

  // --- Controls ---------------------------------------------------------------
  // Frame "Original File"
  std::string lblFilename, lblDirectory, lblTitle, lblLatLonQuad, lblUTMRefCorner, lblCellSize;
  // Frame "New File"
  std::string lblCurFile, lblNewFilename;
  ComboBox cboDirectories;
  InputField txtNewTitle;
  bool cmdPreviousFileEnabled = false, cmdNextFileEnabled = false;
  bool cmdDirectoriesEnabled = false, cmdConvertEnabled = false;
  DefaultButton defaultButton = DefaultButton::Browse;
  // Frame "Options and Controls"
  CheckBox chkDeleteOldFile, chkOverwrite, chkUseExisting, chkCreateNew, chkLogExcluded;
  bool enabled = true;
  // The window's position on the screen.
  WindowPlacement placement{"frmMain"};

  // --- The open source and its tiles: the steps above change them, the window shows them
  bool HandleHeld = false;
  std::vector<PlannedFile> PlannedFiles;  // tile i is PlannedFiles[i - 1]
  int16_t CurrentFile = 0;
  std::string SourcePath;  // also the file name of the open-file dialog

  const CommandLine& commandLine() const { return commandLine_; }

 private:
  void ApplySavedOptions();
  void UnloadRecordBrowser();
  void StartRecordBrowser();
  SourceDescription DescribeOriginalFile(const struct CTGHeader& header) const;
  void ShowOriginalFrame(SourceDescription description) noexcept;

  Prompter& prompter_;
  EventPump& pump_;
  MainWindowHost& host_;
  CommandLine commandLine_;
  AppendLog autoConvertLog_;  // every line reaches the file at once, whole
  std::string lastLogLine_;  // the last non-blank line of the AutoConvert log
  std::unique_ptr<frmBrowseRecords> browser_;
};

}  // namespace tilbo
