#pragma once
// The CTG reader: the only code that touches CTG files. A process-wide table
// of reader slots addressed by 16-bit handles (counted from 0); one
// module-wide error code that callers read with CTG_LastError after each call.
// Record and cell numbers count from 1: record N is file record N (1-5 the
// header), cell K is data record K (file record 5 + K).
//
// Usual order: CTG_AllocateHandle, CTG_SetFileName, CTG_Open, CTG_ReadHeader,
// CTG_ReadCell..., CTG_Close, CTG_FreeHandle. Failing calls return empty values
// (0, false, empty text, an all-zero header or cell) and set the error code.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ctg/CTGDecode.h"

namespace tilbo {

enum CTGError : int32_t {
  kCTGNoError = 0,
  kCTGBadHandle = 1,     // no table, handle outside it, or slot not in use
  kCTGAlreadyOpen = 2,   // the slot's file is open: no new path, no second open
  kCTGFileNotFound = 3,  // the file cannot be found or accessed
  kCTGNotValidFile = 4,  // shorter than the header, or the header's checks fail
  kCTGNotOpen = 5,       // the slot's file is not open
  kCTGOutOfRange = 6,    // record or cell number out of range
  kCTGReadFailure = 7,   // input/output failure or a field that does not fit its type
};

// A handle for a new slot (empty path, closed, record count 0): the lowest free
// one, or a new slot at the end of the table. -1 when the table cannot grow.
// Leaves the error code alone.
int16_t CTG_AllocateHandle();
// Releases a closed slot; false for a bad handle or an open file. The last slot
// is removed from the table; freeing the only slot discards the table. Leaves
// the error code alone.
bool CTG_FreeHandle(int16_t handle);

void CTG_SetFileName(int16_t handle, const std::string& path);  // errors 1, 2
std::string CTG_GetFileName(int16_t handle);                     // error 1

// Opens the slot's file (a regular file, links followed, whose name does not
// begin with "."), decodes and checks its header and sets the record count.
// Errors 1-5 and 7; a failed open leaves the file closed.
bool CTG_Open(int16_t handle);
void CTG_Close(int16_t handle);    // error 0 also when not open; 1 for a bad handle
bool CTG_IsOpen(int16_t handle);   // errors 0, 1
// The number of data records; error 5 (and 0) when closed, 1 for a bad handle;
// on success the error code is left as it was.
int32_t CTG_RecordCount(int16_t handle);
// The whole data records the file holds after its header, whatever the header
// declares: fewer than CTG_RecordCount when the file was cut short (an
// interrupted download), whose missing cells read as failures. Errors as
// CTG_RecordCount.
int64_t CTG_RecordsHeld(int16_t handle);

// The 80 bytes of file record N, 1 <= N <= record count + 5. Bytes of a
// record beyond the end of the file read as blanks; a record wholly beyond the
// end is a read failure. Errors 1, 5, 6, 7.
std::string CTG_ReadRecordText(int16_t handle, int32_t recordNumber);
// The decoded header (records 1-5). Errors 1, 5, 6, 7.
CTGHeader CTG_ReadHeader(int16_t handle);
// The decoded data record K, 1 <= K <= record count. Errors 1, 5, 6, 7; a
// record that cannot be decoded fails alone, the file stays open.
CTGCell CTG_ReadCell(int16_t handle, int32_t cellNumber);

// Cells firstCell .. firstCell + count - 1 at once, for whole-file passes:
// cells[i] and ok[i] (1 read, 0 failed) are what CTG_ReadCell(firstCell + i)
// would give, and the error code is the one the last of those calls would
// leave. True when every cell was read. count <= 0 reads nothing.
bool CTG_ReadCells(int16_t handle, int32_t firstCell, int32_t count, CTGCell* cells, uint8_t* ok);

// The raw records of cells firstCell .. firstCell + count - 1 (all within 1
// .. record count), for whole-file passes that decode cells themselves, on
// several threads: `records` receives 80 bytes per cell whose record exists,
// one cut by the end of the data completed with blanks. Returns how many
// cells that is; the cells after them lie wholly beyond the end, and
// CTG_ReadCell fails on them with code 7. Errors 1, 5, 6, 7.
int32_t CTG_ReadCellRecords(int16_t handle, int32_t firstCell, int32_t count, std::vector<char>& records);

// The length in bytes of the data the records are read from: the file's
// length, or for a gzip file the length of its decompressed content (the
// whole stream is decompressed to know it). Error 1 or 5 (and -1).
int64_t CTG_DataLength(int16_t handle);
// Why the data ended before the file's content did, as far as read ("the
// gzip stream is cut short"); empty when nothing is wrong. Errors 1, 5.
std::string CTG_DataEndProblem(int16_t handle);

int32_t CTG_LastError();

// Decimal degrees of a DDDMMSS angle field (last 7 of its 10 columns), unsigned.
double CTG_DMSToDegrees(std::string_view field);

// A short English reason for an error code ("not a valid USGS CTG file"), for
// tools that report failures in their own words.
std::string_view CTGErrorText(int32_t code);

// Closes every file, discards the table and clears the error code.
void CTG_ResetModuleForTesting();

}  // namespace tilbo
