#include "ctg/CTGFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "ctg/SourceBytes.h"
#include "suite/Rounding.h"

namespace tilbo {
namespace {

// Records are read ahead in blocks of up to this many, aligned on multiples of
// the block, so a pass over the file costs one read per block and a record
// browser stepping backwards stays inside the block it is in.
constexpr int64_t kMaxRecordsPerBlock = 2048;
constexpr int64_t kRecordBytes = static_cast<int64_t>(kCTGRecordLength);

// Handles are 16-bit and never negative: 0 .. 32767.
constexpr std::size_t kMaxSlots = static_cast<std::size_t>(std::numeric_limits<int16_t>::max()) + 1;

// An open CTG source and its read-ahead block.
class OpenCTGFile {
 public:
  // A file smaller than a block gets a block of its own size.
  OpenCTGFile(std::unique_ptr<SourceBytes> source, int64_t fileBytes)
      : source_(std::move(source)),
        blockBytes_(std::clamp<int64_t>(source_->Compressed() ? kMaxRecordsPerBlock
                                                              : (fileBytes + kRecordBytes - 1) / kRecordBytes,
                                        1, kMaxRecordsPerBlock) *
                    kRecordBytes) {}
  OpenCTGFile(const OpenCTGFile&) = delete;
  OpenCTGFile& operator=(const OpenCTGFile&) = delete;

  SourceBytes& Source() { return *source_; }

  // The 80 bytes of record N (from 1), bytes beyond the end of the data as
  // blanks; nothing when the record lies wholly beyond the end or the read
  // fails. The view lasts until the next call.
  std::optional<std::string_view> Record(int64_t number) {
    const int64_t offset = (number - 1) * kRecordBytes;
    const int64_t recordEnd = offset + kRecordBytes;
    if (!(loaded_ && offset >= loadedStart_ && recordEnd <= loadedStart_ + loadedBytes_)) {
      if (!Load(offset - offset % blockBytes_)) return std::nullopt;
      if (offset >= loadedStart_ + loadedBytes_) return std::nullopt;  // wholly beyond the end
      if (recordEnd > loadedStart_ + loadedBytes_) {
        // The record is cut by the end of the data: the rest reads as blanks.
        // Blocks end at record ends, so the buffer has room for the whole record.
        std::fill(buffer_.begin() + loadedBytes_, buffer_.begin() + (recordEnd - loadedStart_), ' ');
      }
    }
    return std::string_view(buffer_.data() + (offset - loadedStart_), kCTGRecordLength);
  }

 private:
  bool Load(int64_t start) {
    loaded_ = false;
    if (buffer_.empty()) buffer_.resize(static_cast<std::size_t>(blockBytes_));
    const std::optional<int64_t> got = source_->Read(start, buffer_.data(), blockBytes_);
    if (!got) return false;
    loadedStart_ = start;
    loadedBytes_ = *got;
    loaded_ = true;
    return true;
  }

  std::unique_ptr<SourceBytes> source_;
  int64_t blockBytes_;  // a whole number of records
  std::vector<char> buffer_;
  int64_t loadedStart_ = 0;
  int64_t loadedBytes_ = 0;  // bytes of the data in the buffer
  bool loaded_ = false;
};

struct Slot {
  std::string path;
  std::unique_ptr<OpenCTGFile> file;  // set while the file is open
  int32_t recordCount = 0;
  bool inUse = false;
};

struct ReaderState {
  bool tableExists = false;
  std::vector<Slot> slots;
  std::size_t slotsInUse = 0;  // spares the scan for a free slot when there is none
  int32_t lastError = kCTGNoError;
};

ReaderState& State() {
  static ReaderState state;
  return state;
}

Slot* FindSlot(int16_t handle) {
  ReaderState& s = State();
  if (!s.tableExists || handle < 0 || static_cast<std::size_t>(handle) >= s.slots.size()) return nullptr;
  Slot& slot = s.slots[static_cast<std::size_t>(handle)];
  return slot.inUse ? &slot : nullptr;
}

// The slot of an open file, or nothing with the error code set (1 or 5).
Slot* FindOpenSlot(int16_t handle) {
  Slot* slot = FindSlot(handle);
  if (slot == nullptr) {
    State().lastError = kCTGBadHandle;
    return nullptr;
  }
  if (!slot->file) {
    State().lastError = kCTGNotOpen;
    return nullptr;
  }
  return slot;
}

// Record N of an open slot after the range check; the error code of the read.
int32_t ReadRecord(Slot& slot, int64_t number, std::string_view& record) {
  if (number < 1 || number > static_cast<int64_t>(slot.recordCount) + kCTGHeaderRecords) {
    return kCTGOutOfRange;
  }
  const std::optional<std::string_view> bytes = slot.file->Record(number);
  if (!bytes) return kCTGReadFailure;
  record = *bytes;
  return kCTGNoError;
}

int32_t ReadCellOf(Slot& slot, int32_t cellNumber, CTGCell& cell) {
  if (cellNumber < 1 || cellNumber > slot.recordCount) return kCTGOutOfRange;
  std::string_view record;
  const int32_t code = ReadRecord(slot, static_cast<int64_t>(cellNumber) + kCTGHeaderRecords, record);
  if (code != kCTGNoError) return code;
  const std::optional<CTGCell> decoded = DecodeCTGCell(record);
  if (!decoded) return kCTGReadFailure;
  cell = *decoded;
  return kCTGNoError;
}

// A regular file (links followed) whose name does not begin with "."; the
// directory search of the file layer sees no other kind.
bool FindOrdinaryFile(const std::string& path, struct stat& info) {
  const std::size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string::npos ? std::string_view(path)
                                                           : std::string_view(path).substr(slash + 1);
  if (name.empty() || name.front() == '.') return false;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Whether the data holds the five header records (a gzip stream that ends or
// fails before them is no CTG file).
bool HoldsHeader(SourceBytes& source) {
  char header[kCTGHeaderLength];
  const std::optional<int64_t> got = source.Read(0, header, static_cast<int64_t>(kCTGHeaderLength));
  return got && *got == static_cast<int64_t>(kCTGHeaderLength);
}

}  // namespace

int16_t CTG_AllocateHandle() {
  ReaderState& s = State();
  try {
    if (!s.tableExists) {
      s.slots.clear();
      s.slots.emplace_back();
      s.slots[0].inUse = true;
      s.slotsInUse = 1;
      s.tableExists = true;
      return 0;
    }
    if (s.slotsInUse < s.slots.size()) {
      for (std::size_t i = 0; i < s.slots.size(); ++i) {
        if (!s.slots[i].inUse) {
          s.slots[i] = Slot{};
          s.slots[i].inUse = true;
          ++s.slotsInUse;
          return static_cast<int16_t>(i);
        }
      }
    }
    if (s.slots.size() >= kMaxSlots) return -1;
    s.slots.emplace_back();
    s.slots.back().inUse = true;
    ++s.slotsInUse;
    return static_cast<int16_t>(s.slots.size() - 1);
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

bool CTG_FreeHandle(int16_t handle) {
  Slot* slot = FindSlot(handle);
  if (slot == nullptr || slot->file) return false;
  ReaderState& s = State();
  *slot = Slot{};  // not in use
  --s.slotsInUse;
  const std::size_t index = static_cast<std::size_t>(handle);
  if (index + 1 == s.slots.size()) {
    if (index != 0) {
      s.slots.pop_back();
    } else {
      s.slots.clear();
      s.slotsInUse = 0;
      s.tableExists = false;
    }
  }
  return true;
}

void CTG_SetFileName(int16_t handle, const std::string& path) {
  Slot* slot = FindSlot(handle);
  if (slot == nullptr) {
    State().lastError = kCTGBadHandle;
    return;
  }
  if (slot->file) {
    State().lastError = kCTGAlreadyOpen;
    return;
  }
  slot->path = path;
  State().lastError = kCTGNoError;
}

std::string CTG_GetFileName(int16_t handle) {
  Slot* slot = FindSlot(handle);
  if (slot == nullptr) {
    State().lastError = kCTGBadHandle;
    return {};
  }
  State().lastError = kCTGNoError;
  return slot->path;
}

bool CTG_Open(int16_t handle) {
  ReaderState& s = State();
  Slot* slot = FindSlot(handle);
  if (slot == nullptr) {
    s.lastError = kCTGBadHandle;
    return false;
  }
  if (slot->file) {
    s.lastError = kCTGAlreadyOpen;
    return false;
  }
  struct stat info {};
  if (!FindOrdinaryFile(slot->path, info)) {
    s.lastError = kCTGFileNotFound;
    return false;
  }
  // A gzip file is told by its first bytes, so the length check waits for
  // the data: a compressed header is far shorter than 400 bytes.
  const bool tooShortIfPlain = info.st_size < static_cast<off_t>(kCTGHeaderLength);
  const int fd = ::open(slot->path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    s.lastError = tooShortIfPlain ? kCTGNotValidFile : kCTGFileNotFound;
    return false;
  }
  std::unique_ptr<SourceBytes> source = OpenSourceBytes(fd, static_cast<int64_t>(info.st_size));
  if (!source) {
    s.lastError = kCTGFileNotFound;
    return false;
  }
  if (source->Compressed() ? !HoldsHeader(*source) : tooShortIfPlain) {
    s.lastError = kCTGNotValidFile;
    return false;
  }
  try {
    slot->file = std::make_unique<OpenCTGFile>(std::move(source), static_cast<int64_t>(info.st_size));
  } catch (const std::bad_alloc&) {
    s.lastError = kCTGFileNotFound;
    return false;
  }
  // The header is read before the record count is known: records 1-5 are in
  // range while the count is 0.
  slot->recordCount = 0;
  const CTGHeader header = CTG_ReadHeader(handle);
  if (s.lastError != kCTGNoError) {
    slot->file.reset();
    return false;
  }
  // The map code is odd when the file holds the land-use theme (a negative
  // remainder keeps its sign and fails); the projection must be UTM.
  if (header.Rec1Value46 % 2 != 1 || header.Rec1Value56 != 1) {
    slot->file.reset();
    s.lastError = kCTGNotValidFile;
    return false;
  }
  // Half of any 32-bit value fits 32 bits.
  slot->recordCount = RoundToInt<int32_t>(header.RecordCountTimes2 / 2.0).value_or(0);
  s.lastError = kCTGNoError;
  return true;
}

void CTG_Close(int16_t handle) {
  Slot* slot = FindSlot(handle);
  if (slot == nullptr) {
    State().lastError = kCTGBadHandle;
    return;
  }
  slot->file.reset();
  State().lastError = kCTGNoError;
}

bool CTG_IsOpen(int16_t handle) {
  Slot* slot = FindSlot(handle);
  if (slot == nullptr) {
    State().lastError = kCTGBadHandle;
    return false;
  }
  State().lastError = kCTGNoError;
  return slot->file != nullptr;
}

int32_t CTG_RecordCount(int16_t handle) {
  Slot* slot = FindOpenSlot(handle);
  return slot != nullptr ? slot->recordCount : 0;
}

int64_t CTG_RecordsHeld(int16_t handle) {
  Slot* slot = FindOpenSlot(handle);
  if (slot == nullptr) return 0;
  const int64_t afterHeader = slot->file->Source().DataLength() - static_cast<int64_t>(kCTGHeaderLength);
  return afterHeader > 0 ? afterHeader / kRecordBytes : 0;
}

std::string CTG_ReadRecordText(int16_t handle, int32_t recordNumber) {
  Slot* slot = FindOpenSlot(handle);
  if (slot == nullptr) return {};
  std::string_view record;
  State().lastError = ReadRecord(*slot, recordNumber, record);
  if (State().lastError != kCTGNoError) return {};
  return std::string(record);
}

CTGHeader CTG_ReadHeader(int16_t handle) {
  Slot* slot = FindOpenSlot(handle);
  if (slot == nullptr) return {};
  std::string records;
  records.reserve(kCTGHeaderLength);
  for (int32_t number = 1; number <= kCTGHeaderRecords; ++number) {
    std::string_view record;
    State().lastError = ReadRecord(*slot, number, record);
    if (State().lastError != kCTGNoError) return {};
    records.append(record);
  }
  std::optional<CTGHeader> header = DecodeCTGHeader(records);
  if (!header) {
    State().lastError = kCTGReadFailure;
    return {};
  }
  State().lastError = kCTGNoError;
  return std::move(*header);
}

CTGCell CTG_ReadCell(int16_t handle, int32_t cellNumber) {
  Slot* slot = FindOpenSlot(handle);
  if (slot == nullptr) return {};
  CTGCell cell;
  State().lastError = ReadCellOf(*slot, cellNumber, cell);
  return State().lastError == kCTGNoError ? cell : CTGCell{};
}

bool CTG_ReadCells(int16_t handle, int32_t firstCell, int32_t count, CTGCell* cells, uint8_t* ok) {
  if (count <= 0) return true;
  Slot* slot = FindOpenSlot(handle);
  if (slot == nullptr) {
    std::fill(cells, cells + count, CTGCell{});
    std::fill(ok, ok + count, uint8_t{0});
    return false;
  }
  bool all = true;
  int32_t code = kCTGNoError;
  for (int32_t i = 0; i < count; ++i) {
    // Cell numbers past the 32-bit range are out of range like any other.
    const int64_t number = static_cast<int64_t>(firstCell) + i;
    CTGCell cell;
    code = number > std::numeric_limits<int32_t>::max()
               ? kCTGOutOfRange
               : ReadCellOf(*slot, static_cast<int32_t>(number), cell);
    const bool read = code == kCTGNoError;
    cells[i] = read ? cell : CTGCell{};
    ok[i] = read ? 1 : 0;
    all = all && read;
  }
  State().lastError = code;
  return all;
}

int32_t CTG_ReadCellRecords(int16_t handle, int32_t firstCell, int32_t count, std::vector<char>& records) {
  Slot* slot = FindOpenSlot(handle);
  if (slot == nullptr || count <= 0 || firstCell < 1 ||
      static_cast<int64_t>(firstCell) + count - 1 > slot->recordCount) {
    if (slot != nullptr) State().lastError = kCTGOutOfRange;
    records.clear();
    return 0;
  }
  const int64_t wanted = int64_t{count} * kRecordBytes;
  try {
    // A buffer of the right size is reused as it is: a pass over the file
    // clears no memory the read overwrites anyway.
    records.resize(static_cast<std::size_t>(wanted));
  } catch (const std::bad_alloc&) {
    records.clear();
    State().lastError = kCTGReadFailure;
    return 0;
  }
  const int64_t offset = (int64_t{firstCell} + kCTGHeaderRecords - 1) * kRecordBytes;
  const std::optional<int64_t> got = slot->file->Source().Read(offset, records.data(), wanted);
  if (!got) {
    records.clear();
    State().lastError = kCTGReadFailure;
    return 0;
  }
  const auto cells = static_cast<int32_t>((*got + kRecordBytes - 1) / kRecordBytes);
  std::fill(records.begin() + *got, records.begin() + int64_t{cells} * kRecordBytes, ' ');
  records.resize(static_cast<std::size_t>(int64_t{cells} * kRecordBytes));
  State().lastError = cells == count ? kCTGNoError : kCTGReadFailure;
  return cells;
}

int64_t CTG_DataLength(int16_t handle) {
  Slot* slot = FindOpenSlot(handle);
  if (slot == nullptr) return -1;
  State().lastError = kCTGNoError;
  return slot->file->Source().DataLength();
}

std::string CTG_DataEndProblem(int16_t handle) {
  Slot* slot = FindOpenSlot(handle);
  if (slot == nullptr) return {};
  State().lastError = kCTGNoError;
  return slot->file->Source().EndProblem();
}

int32_t CTG_LastError() { return State().lastError; }

double CTG_DMSToDegrees(std::string_view field) { return DecodeDMSField(field); }

std::string_view CTGErrorText(int32_t code) {
  switch (code) {
    case kCTGNoError: return "no error";
    case kCTGBadHandle: return "bad reader handle";
    case kCTGAlreadyOpen: return "the file is already open";
    case kCTGFileNotFound: return "the file cannot be found or accessed";
    case kCTGNotValidFile: return "not a valid USGS CTG file";
    case kCTGNotOpen: return "the file is not open";
    case kCTGOutOfRange: return "record number out of range";
    case kCTGReadFailure: return "read failure";
    default: return "unknown error";
  }
}

void CTG_ResetModuleForTesting() { State() = ReaderState{}; }

}  // namespace tilbo
