#include "sysquery/AisDetection.h"

#include "BuildConfig.h"

namespace sw {

namespace {
struct TAisRow {
  const wchar_t* sKey;
  const wchar_t* sValueName;
  const wchar_t* sName;
  const wchar_t* sMailTo;
};

// Probed from top to bottom. The addresses come from the build (CMake cache variables).
const TAisRow kAisRows[] = {
    {L"SOFTWARE\\CG\\ALBIS\\Albis on Windows", L"Installationspfad", L"Albis", SW_MAIL_ALBIS},
    {L"SOFTWARE\\CompuMed\\M1", L"ProgramPath", L"Compumed M1", SW_MAIL_COMPUMED},
    {L"SOFTWARE\\TurboMed EDV GmbH\\TurboMed\\Current", L"Path", L"TurboMed", SW_MAIL_TURBOMED},
    {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TurboMed.exe", L"Path", L"TurboMed",
     SW_MAIL_TURBOMED},
};

constexpr const wchar_t* kMedistarVar = L"MEDISTARDIR";
constexpr const wchar_t* kMedistarName = L"MEDISTAR";
constexpr const wchar_t* kMedistarMail = SW_MAIL_MEDISTAR;
}  // namespace

void GetAISInstallation(IRegistryReader& aRegistry, IEnvironment& aEnvironment, std::wstring& sName,
                        std::wstring& sMailTo, std::wstring& sPath) {
  for (const TAisRow& row : kAisRows) {
    if (!aRegistry.RegKeyExists(rsLocalMachine, row.sKey)) continue;
    sPath = aRegistry.RegReadString(rsLocalMachine, row.sKey, row.sValueName, L"");
    sName = row.sName;
    sMailTo = row.sMailTo;
    return;
  }
  if (!aEnvironment.GetEnvVar(kMedistarVar).empty()) {
    sPath = aEnvironment.GetEnvVar(kMedistarVar);
    sName = kMedistarName;
    sMailTo = kMedistarMail;
    return;
  }
  sName.clear();
  sMailTo.clear();
  sPath.clear();
}

}  // namespace sw
