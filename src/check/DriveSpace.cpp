#include "check/DriveSpace.h"

#include <cmath>
#include <cstdint>

#include "check/Measurements.h"
#include "report/InfoItem.h"

namespace sw {

namespace {
constexpr double kBytesPerGB = 1024.0 * 1024.0 * 1024.0;
constexpr double kRequiredFreeGB = 5.0;

std::wstring FormatGB(double dGB, ILocale& aLocale) {
  return FormatWholeNumber(dGB, aLocale.ThousandSeparator()) + L" GB";
}
}  // namespace

std::wstring FormatWholeNumber(double dValue, const std::wstring& sThousandSeparator) {
  if (!std::isfinite(dValue)) return L"???";
  const double dRounded = std::round(dValue);
  if (dRounded == 0.0) return L"0";
  // Far beyond any drive size; plain digits keep the text sane instead of overflowing.
  if (std::fabs(dRounded) >= 9.0e18) return std::to_wstring(static_cast<long double>(dRounded));
  const std::int64_t n = static_cast<std::int64_t>(dRounded);
  const std::wstring sDigits = std::to_wstring(n < 0 ? -n : n);
  std::wstring s;
  for (std::size_t i = 0; i < sDigits.size(); ++i) {
    if (i > 0 && (sDigits.size() - i) % 3 == 0) s += sThousandSeparator;
    s += sDigits[i];
  }
  return n < 0 ? L"-" + s : s;
}

void TServiceInfos::GetDriveSpaceInformation(wchar_t cLetter, std::wstring& sValue, TColor& cColor,
                                             std::int32_t iDiff_GB, IDriveQuery& aDrives, ILocale& aLocale) {
  cColor = clNavy;
  try {
    std::int64_t nFree = -1, nTotal = -1;
    if (!aDrives.GetDiskSpace(cLetter, nFree, nTotal)) {
      // No sizes to show, but a PC that cannot reach the drive fails it as a full one would.
      sValue = aDrives.UnreachableText(cLetter);
      cColor = clRed;
      iPoints += 2;
      return;
    }
    const double dFreeGB = static_cast<double>(nFree) / kBytesPerGB;
    const double dTotalGB = static_cast<double>(nTotal) / kBytesPerGB;
    // No share of an empty drive: report it like any other failure (navy, text kept).
    if (dTotalGB == 0.0) return;
    const double dUsedGB = dTotalGB - dFreeGB;
    // Half to even, the default rounding mode of the FPU.
    const double dPercent = std::nearbyint(dUsedGB / dTotalGB * 100.0);
    if (!std::isfinite(dPercent)) return;

    std::wstring s = FormatGB(dUsedGB, aLocale) + L"/" + FormatGB(dTotalGB, aLocale) + L" belegt (" +
                     FormatWholeNumber(dPercent, L"") + L" %) = " + FormatGB(dFreeGB, aLocale) + L" frei";
    TColor cVerdict;
    std::int32_t iAdd;
    if (kRequiredFreeGB - iDiff_GB > dFreeGB) {
      s += L" - Zuwenig freier Platz auf diesem Laufwerk!";
      cVerdict = clRed;
      iAdd = 2;
    } else if (dFreeGB > kRequiredFreeGB) {
      s += L" - OK!";
      cVerdict = clGreen;
      iAdd = 0;
    } else {
      s += L" - OK!";
      cVerdict = clOlive;
      iAdd = 1;
    }
    sValue = std::move(s);
    cColor = cVerdict;
    iPoints += iAdd;
  } catch (...) {
    cColor = clNavy;
  }
}

}  // namespace sw
