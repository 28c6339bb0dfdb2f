#pragma once
// The fixed texts of the conversion window and the summary of a run.

#include <cstdint>
#include <string>
#include <vector>

namespace tilbo {

// Directions shown while the user selects the tiles to create.
std::string SelectionDirections();
// Directions shown while the conversion runs.
std::string RunningDirections();
// Directions shown once the run is over.
std::string FinishedDirections();

// "12.346" for 12.3456 with format "0.000": a / b x 100, with the numeric
// locale's decimal mark; a source without records (b = 0) gives 0.
std::string Percentage(int64_t a, int64_t b, const char* format = "0.000");

// What a run counted, for the summary and the AutoConvert log.
struct RunSummary {
  bool success = false;
  int32_t recordCount = 0;  // N, the source's record count
  int32_t excluded = 0, readErrors = 0, zeroValues = 0, writtenElsewhere = 0;
  bool useExisting = false, createNew = false;
  std::vector<std::string> existingFilesUsed, externalFilesCreated;
  std::vector<std::string> createdTiles;  // planned file names of the open tiles
  std::string excludedLogPath;            // empty when no excluded-points log was written
};

// The message shown at the end of an interactive run.
std::string SummaryText(const RunSummary& summary);
// The lines written to the AutoConvert log at the end of a successful run.
std::vector<std::string> AutoConvertSummaryLines(const RunSummary& summary);

}  // namespace tilbo
