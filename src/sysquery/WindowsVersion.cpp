#include "sysquery/WindowsVersion.h"

#include <cstdio>
#include <stdexcept>

namespace sw {

namespace {

// Fixed English names, indexed by release code.
const wchar_t* const kReleaseTexts[kReleaseCount] = {
    L"",
    L"Windows 95",
    L"Windows 95 OSR2",
    L"Windows 98",
    L"Windows 98 SE",
    L"Windows ME",
    L"Windows NT 3.",
    L"Windows NT 3.",
    L"Windows NT 3.",
    L"Windows NT 4.",
    L"Windows 2000",
    L"Windows XP",
    L"Windows Server 2003",
    L"Windows XP x64",
    L"Windows Server 2003 R2",
    L"Windows Vista",
    L"Windows Server 2008",
    L"Windows 7",
    L"Windows Server 2008 R2",
};

const wchar_t* const kEditionTexts[kEditionCount] = {
    L"",
    L"Home Edition",
    L"Professional",
    L"Home Edition N",
    L"Professional N",
    L"Home Edition K",
    L"Professional K",
    L"Home Edition KN",
    L"Professional KN",
    L"Starter Edition",
    L"Media Center Edition",
    L"Tablet PC Edition",
    L"Starter",
    L"Home Basic",
    L"Home Basic N",
    L"Home Premium",
    L"Business",
    L"Business N",
    L"Enterprise",
    L"Ultimate",
    L"Starter",
    L"Home Basic",
    L"Home Premium",
    L"Professional",
    L"Enterprise",
    L"Ultimate",
};

struct TEditionRule {
  const wchar_t* sWord;
  unsigned Code;
};

// Longer words before their prefixes ("Home Edition KN" before "Home Edition K").
const TEditionRule kXpRules[] = {
    {L"Home Edition N", 3}, {L"Professional N", 4}, {L"Home Edition KN", 7}, {L"Professional KN", 8},
    {L"Home Edition K", 5}, {L"Professional K", 6}, {L"Home", 1},            {L"Professional", 2},
    {L"Starter", 9},        {L"Media Center", 10},  {L"Tablet", 11},
};
const TEditionRule kVistaRules[] = {
    {L"Starter", 12},    {L"Home Basic N", 14}, {L"Home Basic", 13}, {L"Home Premium", 15},
    {L"Business N", 17}, {L"Business", 16},     {L"Enterprise", 18}, {L"Ultimate", 19},
};
const TEditionRule kSevenRules[] = {
    {L"Starter", 20},      {L"Home Basic", 21}, {L"Home Premium", 22},
    {L"Professional", 23}, {L"Enterprise", 24}, {L"Ultimate", 25},
};

template <std::size_t N>
unsigned FirstWordIn(const std::wstring& sName, const TEditionRule (&aRules)[N]) {
  for (const TEditionRule& r : aRules)
    if (sName.find(r.sWord) != std::wstring::npos) return r.Code;
  return 0;
}

bool StartsWith(const std::wstring& s, const wchar_t* sPrefix) { return s.rfind(sPrefix, 0) == 0; }

}  // namespace

unsigned DetectWindowsRelease(const TVersionRecord& v) {
  const std::wstring& sCsd = v.CsdText;
  if (v.PlatformId == 1) {
    if (v.Minor <= 9) return (sCsd == L"B" || sCsd == L"C") ? 2 : 1;
    if (v.Minor <= 89) {
      if (v.KernelVersion == 0x0004005A) return 5;
      return (sCsd == L"A" || sCsd == L"B") ? 4 : 3;
    }
    return v.Minor == 90 ? 5 : 0;
  }
  if (v.PlatformId != 2) return 0;
  const bool bWorkstation = v.bExtendedOk && v.ProductType == 1;
  switch (v.Major) {
    case 3:
      if (v.Minor == 1) return 6;
      if (v.Minor == 5) return 7;
      if (v.Minor == 51) return 8;
      return 0;
    case 4:
      return 9;
    case 5:
      if (v.Minor == 0) return 10;
      if (v.Minor == 1) return 11;
      if (v.Minor == 2) {
        // The R2 metric decides before the architecture does.
        if (v.bServerR2) return 14;
        if (v.NativeArchitecture != 0 && bWorkstation) return 13;
        return 12;
      }
      return 0;
    case 6:
      if (v.Minor == 0) return bWorkstation ? 15 : 16;
      if (v.Minor == 1) return bWorkstation ? 17 : 18;
      return 0;
    default:
      return 0;
  }
}

std::wstring WindowsReleaseText(unsigned aRelease, std::uint32_t aMinor) {
  if (aRelease >= kReleaseCount) return L"";
  std::wstring s = kReleaseTexts[aRelease];
  if (aRelease >= 6 && aRelease <= 9) s += std::to_wstring(aMinor);
  return s;
}

unsigned DetectWindowsEdition(const std::wstring& sProductName) {
  if (StartsWith(sProductName, L"Windows XP")) return FirstWordIn(sProductName, kXpRules);
  if (StartsWith(sProductName, L"Windows Vista")) return FirstWordIn(sProductName, kVistaRules);
  if (StartsWith(sProductName, L"Windows 7")) return FirstWordIn(sProductName, kSevenRules);
  return 0;
}

std::wstring WindowsEditionText(unsigned aEdition) {
  return aEdition < kEditionCount ? kEditionTexts[aEdition] : L"";
}

unsigned ServicePackLevelFromCsdVersion(std::int32_t iCsdVersion) {
  char sHex[16];
  std::snprintf(sHex, sizeof sHex, "%04X", static_cast<unsigned>(static_cast<std::uint32_t>(iCsdVersion)));
  unsigned long nDecimal = 0;
  for (const char* p = sHex; *p; ++p) {
    if (*p < '0' || *p > '9')
      throw std::invalid_argument(std::string("'") + sHex + "' is not a valid integer value");
    nDecimal = nDecimal * 10 + static_cast<unsigned>(*p - '0');
  }
  return static_cast<unsigned>(nDecimal / 100);
}

std::wstring ServicePackText(unsigned aLevel) {
  return aLevel > 0 ? L"SP" + std::to_wstring(aLevel) : std::wstring();
}

}  // namespace sw
