#include "conversion/ConversionTexts.h"

#include "suite/NumberFormat.h"

namespace tilbo {
namespace {
constexpr const char* kCRLF = "\r\n";
}

std::string SelectionDirections() {
  const std::string paragraph = std::string(kCRLF) + kCRLF;
  return std::string("Select the files that you want to be created.") + paragraph +
         "If a checkmark appears in the box to the left of a file in the list above, "
         "then the program will attempt to create that file.  If the checkmark does "
         "not appear, then the file will be ignored during the conversion process. "
         "In order to change whether or not you want a particular file to be created, "
         "simply left-click once on its check-box to change the state of the "
         "checkmark." +
         paragraph +
         "To the right of every file name in the list above, there is a description "
         "of the status of that file in parenthesis.  If this description is 'Exists "
         "in directory.', there is a file in the target directory of that file that "
         "has the same name and contains the same data.  If it is 'Exists in "
         "different directory.', then the same file exists in one of the stored LUC "
         "directories.  If this is the case, then the new file may or may not be used "
         "in a propagation study.  If, however, it is 'No conflicts.', then the data "
         "does not already exist in either the target or LUC directories, and can be "
         "created without worry." +
         paragraph +
         "Note that if you create a file that conflicts with a file IN THE SAME "
         "DIRECTORY, then the older file will be added to--a new file will not be "
         "created.  To see "
         "information about the old file, double-click with the left mouse button on "
         "any file in the above list that displays either 'Exists in directory.' or "
         "'Exists in different directory.'" +
         paragraph + "When you are ready to begin the conversion process, click the 'Begin' button below.";
}

std::string RunningDirections() {
  return std::string("CTG Tilbo is now converting the files.") + kCRLF + kCRLF +
         "The text in parenthesis next to each file in the list above display "
         "information on the process.  If the text reads 'File created.', then "
         "the file was created, but is not currently being written to.  If it is "
         "'Writing data.', then data from the CTG file is currently being written "
         "to this file.  If, however, it is 'Could not create.', then the file "
         "was not created, and no data is being written to it.";
}

std::string FinishedDirections() {
  return "The conversion process is complete, or has been "
         "canceled.  Press the 'Close Window' button below to return to the main "
         "window of the CTG Tilbo.";
}

std::string Percentage(int64_t a, int64_t b, const char* format) {
  const double value = b == 0 ? 0.0 : static_cast<double>(a) / static_cast<double>(b) * 100.0;
  return FormatPicture(value, format);
}

std::string SummaryText(const RunSummary& s) {
  const int64_t n = s.recordCount;
  std::string t = std::string("The conversion process is complete.") + kCRLF + kCRLF;
  t += std::string("Success:\t\t\t") + (s.success ? "Yes." : "No.") + kCRLF;
  t += "Number of excluded points:\t" + std::to_string(s.excluded) + " (" + Percentage(s.excluded, n) + "%)" + kCRLF;
  if (s.excluded != 0) {
    t += "\tOf these, " + std::to_string(s.readErrors) + " (" + Percentage(s.readErrors, s.excluded) +
         "%) were excluded due to read errors." + kCRLF;
    t += "\t" + std::to_string(s.zeroValues) + " (" + Percentage(s.zeroValues, s.excluded) +
         "%) were excluded because they were 0." + kCRLF;
  }
  t += kCRLF;
  if (s.useExisting) {
    t += std::to_string(s.writtenElsewhere) + " (" + Percentage(s.writtenElsewhere, n) +
         "%) were written to these existing files:" + kCRLF;
    if (s.existingFilesUsed.empty()) {
      t += std::string("< No Files >") + kCRLF;
    } else {
      for (const auto& path : s.existingFilesUsed) t += "\t" + path + kCRLF;
    }
    t += kCRLF;
    if (s.createNew && !s.externalFilesCreated.empty()) {
      t += "These files were created (as external files) during the conversion process:";
      for (const auto& path : s.externalFilesCreated) t += "\t" + path + kCRLF;
      t += kCRLF;
    }
  }
  t += std::string(kCRLF) + "Files created:" + kCRLF;
  for (const auto& name : s.createdTiles) t += "\t" + name + ":\tCreated successfully." + kCRLF;
  if (!s.excludedLogPath.empty()) t += std::string(kCRLF) + kCRLF + "Excluded points logged in " + s.excludedLogPath + ".";
  return t;
}

std::vector<std::string> AutoConvertSummaryLines(const RunSummary& s) {
  const int64_t n = s.recordCount;
  std::vector<std::string> lines;
  lines.push_back("   " + std::to_string(s.excluded) + " (" + Percentage(s.excluded, n) + "%) point(s) excluded.");
  if (s.excluded != 0) {
    lines.push_back("   " + std::to_string(s.readErrors) + " (" + Percentage(s.readErrors, s.excluded) +
                    "% of the number excluded) were not written due to read errors.");
    lines.push_back("   " + std::to_string(s.zeroValues) + " (" + Percentage(s.zeroValues, s.excluded) +
                    "% of the number excluded) were not written because they were 0.");
  }
  lines.push_back("");
  if (s.useExisting) {
    lines.push_back("   " + std::to_string(s.writtenElsewhere) + " (" + Percentage(s.writtenElsewhere, n, "0.00") +
                    "%) were written to these files:");
    if (s.existingFilesUsed.empty()) {
      lines.push_back("      < No Files >");
    } else {
      for (const auto& path : s.existingFilesUsed) lines.push_back("      " + path);
    }
    if (s.createNew && !s.externalFilesCreated.empty()) {
      lines.push_back("   These files were created (as external files) during the conversion process:");
      for (const auto& path : s.externalFilesCreated) lines.push_back("      " + path);
    }
  }
  return lines;
}

}  // namespace tilbo
