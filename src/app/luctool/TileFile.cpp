#include "luctool/TileFile.h"

#include <ostream>

#include "ctg/CTGFile.h"
#include "luc/LUCFileV1.h"

namespace tilbo::luctool {

bool IsCtgSource(const std::string& path) {
  const int16_t handle = CTG_AllocateHandle();
  if (handle < 0) return false;
  CTG_SetFileName(handle, path);
  const bool opened = CTG_LastError() == kCTGNoError && CTG_Open(handle);
  CTG_Close(handle);
  CTG_FreeHandle(handle);
  return opened;
}

bool OpenTile(LUCFileV1& luc, const std::string& path, Io& io) {
  luc.SetFileName(path);
  luc.SetOpenMode(LUCFileV1::kMemoryIo);
  if (luc.LastError() == LUCFileV1::kNoError) return true;
  if (luc.LastError() == LUCFileV1::kInvalidFile && IsCtgSource(path)) {
    io.err << "luctool: " << path
           << ": a CTG source, not a LUC tile; convert it into tiles first, for example:\n"
           << "  ctgtilbo /AUTO /SOURCE=" << path << " /DEST=tiles/ /LOG=convert.log\n";
    return false;
  }
  io.err << "luctool: " << path << ": " << LUCFileV1::ErrorDescription(luc.LastError()) << "\n";
  return false;
}

bool OpenGeoreferencedTile(const std::string& path, TileGeoref& georef, Io& io) {
  LUCFileV1 luc;
  if (!OpenTile(luc, path, io)) return false;
  georef = GeorefOf(luc);
  if (!georef.error.empty()) {
    io.err << "luctool: " << path << ": " << georef.error << "\n";
    return false;
  }
  return true;
}

}  // namespace tilbo::luctool
