#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sw {

// Colour in the Windows layout: red in the lowest byte, then green, then blue.
using TColor = std::uint32_t;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;  // the yellow verdict
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;

// Font style set of a pane line.
using TFontStyles = unsigned;
inline constexpr TFontStyles fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

struct TInfoItem {
  std::wstring Section;
  std::wstring Info;
  std::wstring Value;
  TColor Color = 0;
};

class ITextPane;
class IMeasurements;
class IResultLogFile;
class ICodePage;
class ILocale;
class IDriveQuery;

// Owning, insertion-ordered report list of one collection run.
class TServiceInfos {
 public:
  TServiceInfos() = default;
  TServiceInfos(const TServiceInfos&) = delete;
  TServiceInfos& operator=(const TServiceInfos&) = delete;

  TInfoItem& AddInfo(const std::wstring& aSection, const std::wstring& aInfo,
                     const std::wstring& aValue, TColor aColor);
  // Throws std::out_of_range outside 0 .. Count() - 1.
  TInfoItem& GetInfoItem(int Index);
  int Count() const { return static_cast<int>(FItems.size()); }
  int Points() const { return iPoints; }

  // Collectors, each defined by the subsystem that owns it:
  // GetDriveSpaceInformation in check/DriveSpace.cpp, CollectImportantEnvironmentInfos
  // in check/RequirementsCheck.cpp, CollectLogEntries and HandleLog in
  // resultlog/ResultLog.cpp, CollectOvraHeaderInfos in share/MailText.cpp.
  void GetDriveSpaceInformation(wchar_t cLetter, std::wstring& sValue, TColor& cColor,
                                std::int32_t iDiff_GB, IDriveQuery& aDrives, ILocale& aLocale);
  // False when an error ended the check (its red "Fehler" entry is then the last).
  bool CollectImportantEnvironmentInfos(std::wstring& sAISMail_To, IMeasurements& aMeasure);
  void CollectLogEntries(ITextPane& RichEditInfo, IResultLogFile& aLog, ICodePage& aCodePage);
  // True when this run's block was written to the log; failures are not raised.
  bool HandleLog(const std::wstring& sNewEntries, IResultLogFile& aLog, ICodePage& aCodePage);
  static std::wstring CollectOvraHeaderInfos();

 protected:
  std::int32_t iPoints = 0;

 private:
  std::vector<std::unique_ptr<TInfoItem>> FItems;
};

}  // namespace sw
