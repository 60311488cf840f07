#pragma once
// A reader of the parts of a 32-bit PE file that the release checks look at. Works on
// the file's bytes (not a mapped image), so it reads exactly what ships. Every read is
// bounds-checked; a malformed file makes Parse() return false with a reason.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace swtest {

class TPeImage {
 public:
  struct TSection {
    std::string sName;
    std::uint32_t nVirtualAddress = 0, nVirtualSize = 0, nRawOffset = 0, cbRaw = 0;
  };
  struct TResource {
    std::uint32_t nType = 0, nId = 0, nLanguage = 0;
    std::vector<std::uint8_t> aData;
  };

  explicit TPeImage(std::vector<std::uint8_t> aBytes) : FBytes(std::move(aBytes)) {}

  bool Parse(std::string& sWhy) {
    if (U16(0) != 0x5A4D) return Fail(sWhy, "no MZ header");
    const std::uint32_t nPe = U32(0x3C);
    if (U32(nPe) != 0x00004550) return Fail(sWhy, "no PE signature");
    const std::uint32_t nFile = nPe + 4;
    Machine = U16(nFile);
    const unsigned nSections = U16(nFile + 2);
    TimeDateStamp = U32(nFile + 4);
    const unsigned cbOptional = U16(nFile + 16);
    Characteristics = U16(nFile + 18);
    const std::uint32_t nOpt = nFile + 20;
    OptionalMagic = U16(nOpt);
    if (OptionalMagic != 0x10B) return Fail(sWhy, "not a PE32 optional header");
    CheckSum = U32(nOpt + 64);
    Subsystem = U16(nOpt + 68);
    DllCharacteristics = U16(nOpt + 70);
    const std::uint32_t nDirs = U32(nOpt + 92);
    for (std::uint32_t i = 0; i < nDirs && i < 16; ++i) {
      DirRva[i] = U32(nOpt + 96 + 8 * i);
      DirSize[i] = U32(nOpt + 100 + 8 * i);
    }
    std::uint32_t nSec = nOpt + cbOptional;
    for (unsigned i = 0; i < nSections; ++i, nSec += 40) {
      TSection s;
      if (!InFile(nSec, 40)) return Fail(sWhy, "section table outside the file");
      s.sName.assign(reinterpret_cast<const char*>(&FBytes[nSec]), strnlen(reinterpret_cast<const char*>(&FBytes[nSec]), 8));
      s.nVirtualSize = U32(nSec + 8);
      s.nVirtualAddress = U32(nSec + 12);
      s.cbRaw = U32(nSec + 16);
      s.nRawOffset = U32(nSec + 20);
      Sections.push_back(s);
    }
    if (FbBad) return Fail(sWhy, "header outside the file");
    if (!ReadImports(sWhy) || !ReadResources(sWhy) || !ReadDebug(sWhy)) return false;
    return true;
  }

  std::uint16_t Machine = 0, Characteristics = 0, OptionalMagic = 0, Subsystem = 0, DllCharacteristics = 0;
  std::uint32_t TimeDateStamp = 0, CheckSum = 0;
  std::uint32_t DirRva[16] = {}, DirSize[16] = {};
  std::vector<TSection> Sections;
  std::vector<std::string> ImportedDlls, DelayImportedDlls;
  // Every function of the import directory as (DLL as written, name); a function
  // imported by ordinal only is named "#<ordinal>".
  std::vector<std::pair<std::string, std::string>> ImportedFunctions;
  std::vector<TResource> Resources;
  // Time stamps of the resource directories and debug entries: all must be 0 for a
  // reproducible file.
  std::vector<std::uint32_t> EmbeddedTimeStamps;
  std::uint32_t DebugEntries = 0;

  const TResource* FindResource(std::uint32_t nType, std::uint32_t nId) const {
    for (const auto& r : Resources)
      if (r.nType == nType && r.nId == nId) return &r;
    return nullptr;
  }

 private:
  bool Fail(std::string& sWhy, const char* s) {
    sWhy = s;
    return false;
  }
  bool InFile(std::uint64_t nOffset, std::uint64_t cb) const { return nOffset + cb <= FBytes.size(); }
  std::uint16_t U16(std::uint64_t n) {
    if (!InFile(n, 2)) { FbBad = true; return 0; }
    return static_cast<std::uint16_t>(FBytes[n] | (FBytes[n + 1] << 8));
  }
  std::uint32_t U32(std::uint64_t n) { return U16(n) | (static_cast<std::uint32_t>(U16(n + 2)) << 16); }
  // File offset of an RVA, or 0 when no section holds it.
  std::uint32_t Offset(std::uint32_t nRva) const {
    for (const auto& s : Sections)
      if (nRva >= s.nVirtualAddress && nRva < s.nVirtualAddress + std::max(s.nVirtualSize, s.cbRaw) &&
          nRva - s.nVirtualAddress < s.cbRaw)
        return s.nRawOffset + (nRva - s.nVirtualAddress);
    return 0;
  }
  std::string CString(std::uint32_t nRva) {
    std::string s;
    std::uint32_t n = Offset(nRva);
    if (n == 0) { FbBad = true; return s; }
    while (InFile(n, 1) && FBytes[n] != 0 && s.size() < 260) s += static_cast<char>(FBytes[n++]);
    return s;
  }
  bool ReadImports(std::string& sWhy) {
    if (DirRva[1]) {
      std::uint32_t n = Offset(DirRva[1]);
      if (n == 0) return Fail(sWhy, "import directory outside every section");
      for (;; n += 20) {
        if (!InFile(n, 20)) return Fail(sWhy, "import directory runs off the file");
        const std::uint32_t nName = U32(n + 12);
        if (nName == 0 && U32(n + 16) == 0) break;
        ImportedDlls.push_back(CString(nName));
        if (!ReadImportedFunctions(ImportedDlls.back(), U32(n) ? U32(n) : U32(n + 16))) break;
      }
    }
    if (DirRva[13]) {
      std::uint32_t n = Offset(DirRva[13]);
      if (n == 0) return Fail(sWhy, "delay import directory outside every section");
      for (;; n += 32) {
        if (!InFile(n, 32)) return Fail(sWhy, "delay import directory runs off the file");
        const std::uint32_t nName = U32(n + 4);
        if (nName == 0) break;
        DelayImportedDlls.push_back(CString(nName));
      }
    }
    return !FbBad || Fail(sWhy, "import name outside the file");
  }
  // The lookup table: 32-bit entries up to a zero one; the high bit marks an ordinal,
  // otherwise the entry points at a hint (2 bytes) and the name.
  bool ReadImportedFunctions(const std::string& sDll, std::uint32_t nTableRva) {
    std::uint32_t n = Offset(nTableRva);
    if (n == 0) { FbBad = true; return false; }
    for (;; n += 4) {
      if (!InFile(n, 4)) { FbBad = true; return false; }
      const std::uint32_t nEntry = U32(n);
      if (nEntry == 0) return true;
      if (nEntry & 0x80000000u)
        ImportedFunctions.emplace_back(sDll, "#" + std::to_string(nEntry & 0xFFFFu));
      else
        ImportedFunctions.emplace_back(sDll, CString(nEntry + 2));
      if (FbBad) return false;
    }
  }
  bool ReadResources(std::string& sWhy) {
    if (!DirRva[2]) return true;
    FnResBase = Offset(DirRva[2]);
    if (FnResBase == 0) return Fail(sWhy, "resource directory outside every section");
    WalkResources(0, 0, 0, 0, 0);
    return !FbBad || Fail(sWhy, "resource tree runs off the file");
  }
  // Three levels: type, name, language. Named (string) entries get id 0xFFFFFFFF.
  void WalkResources(std::uint32_t nDir, int nLevel, std::uint32_t nType, std::uint32_t nId, int nDepthGuard) {
    if (nDepthGuard > 3 || FbBad) { FbBad = true; return; }
    const std::uint32_t n = FnResBase + nDir;
    EmbeddedTimeStamps.push_back(U32(n + 4));
    const unsigned nEntries = U16(n + 12) + U16(n + 14);
    for (unsigned i = 0; i < nEntries && !FbBad; ++i) {
      const std::uint32_t e = n + 16 + 8 * i;
      const std::uint32_t nName = U32(e), nTarget = U32(e + 4);
      const std::uint32_t nKey = (nName & 0x80000000u) ? 0xFFFFFFFFu : nName;
      if (nTarget & 0x80000000u) {
        WalkResources(nTarget & 0x7FFFFFFFu, nLevel + 1, nLevel == 0 ? nKey : nType, nLevel == 1 ? nKey : nId,
                      nDepthGuard + 1);
      } else {
        const std::uint32_t d = FnResBase + nTarget;
        const std::uint32_t nDataRva = U32(d), cbData = U32(d + 4);
        const std::uint32_t nData = Offset(nDataRva);
        if (nData == 0 || !InFile(nData, cbData)) { FbBad = true; return; }
        TResource r{nType, nId, nKey, {}};
        r.aData.assign(FBytes.begin() + nData, FBytes.begin() + nData + cbData);
        Resources.push_back(std::move(r));
      }
    }
  }
  bool ReadDebug(std::string& sWhy) {
    if (!DirRva[6]) return true;
    const std::uint32_t n = Offset(DirRva[6]);
    if (n == 0) return Fail(sWhy, "debug directory outside every section");
    DebugEntries = DirSize[6] / 28;
    for (std::uint32_t i = 0; i < DebugEntries; ++i) EmbeddedTimeStamps.push_back(U32(n + 28 * i + 4));
    return !FbBad || Fail(sWhy, "debug directory runs off the file");
  }

  std::vector<std::uint8_t> FBytes;
  std::uint32_t FnResBase = 0;
  bool FbBad = false;
};

}  // namespace swtest
