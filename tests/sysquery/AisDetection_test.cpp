#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "BuildConfig.h"
#include "sysquery/AisDetection.h"

namespace sw {
namespace {

const std::wstring kAlbisKey = L"SOFTWARE\\CG\\ALBIS\\Albis on Windows";
const std::wstring kM1Key = L"SOFTWARE\\CompuMed\\M1";
const std::wstring kTurboKey = L"SOFTWARE\\TurboMed EDV GmbH\\TurboMed\\Current";
const std::wstring kAppPathKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TurboMed.exe";

// Keys exist only under HKEY_LOCAL_MACHINE; any other root finds nothing.
class TFakeRegistry : public IRegistryReader {
 public:
  std::set<std::wstring> Keys;
  std::map<std::pair<std::wstring, std::wstring>, std::wstring> Values;

  std::wstring RegReadString(TRootSelector aRoot, const std::wstring& sKey, const std::wstring& sName,
                             const std::wstring& sDefault) override {
    if (aRoot != rsLocalMachine || !Keys.count(sKey)) return sDefault;
    auto it = Values.find({sKey, sName});
    return it == Values.end() ? L"" : it->second;
  }
  std::int32_t RegReadInteger(TRootSelector, const std::wstring&, const std::wstring&, std::int32_t i) override {
    return i;
  }
  bool RegKeyExists(TRootSelector aRoot, const std::wstring& sKey) override {
    return aRoot == rsLocalMachine && Keys.count(sKey) != 0;
  }
};

class TFakeEnvironment : public IEnvironment {
 public:
  std::map<std::wstring, std::wstring> Vars;
  std::wstring GetEnvVar(const std::wstring& sName) override {
    auto it = Vars.find(sName);
    return it == Vars.end() ? L"" : it->second;
  }
};

struct TCase {
  const char* sName;
  std::map<std::wstring, std::wstring> KeysAndPaths;  // key -> path value ("" = key without value)
  const wchar_t* sMedistar;                           // nullptr: not set
  const wchar_t *sExpName, *sExpMail, *sExpPath;
};

TEST(AisDetection, RowsProbedInOrder) {
  const std::wstring kNone = L"\x1";  // key present, no value at all
  const TCase kCases[] = {
      {"Albis", {{kAlbisKey, L"C:\\ALBISWIN"}}, nullptr, L"Albis", SW_MAIL_ALBIS, L"C:\\ALBISWIN"},
      {"CompuMed M1", {{kM1Key, L"D:\\M1\\"}}, nullptr, L"Compumed M1", SW_MAIL_COMPUMED, L"D:\\M1\\"},
      {"TurboMed", {{kTurboKey, L"E:\\TM"}}, nullptr, L"TurboMed", SW_MAIL_TURBOMED, L"E:\\TM"},
      {"TurboMed under App Paths only", {{kAppPathKey, L"F:\\TurboMed"}}, nullptr, L"TurboMed", SW_MAIL_TURBOMED,
       L"F:\\TurboMed"},
      {"MEDISTAR", {}, L"\\\\server\\medistar", L"MEDISTAR", SW_MAIL_MEDISTAR, L"\\\\server\\medistar"},
      {"Albis wins over TurboMed", {{kTurboKey, L"E:\\TM"}, {kAlbisKey, L"C:\\A"}}, nullptr, L"Albis", SW_MAIL_ALBIS,
       L"C:\\A"},
      {"M1 wins over both TurboMed keys", {{kAppPathKey, L"F:\\x"}, {kTurboKey, L"E:\\TM"}, {kM1Key, L"D:\\M1"}},
       nullptr, L"Compumed M1", SW_MAIL_COMPUMED, L"D:\\M1"},
      {"registry wins over MEDISTAR", {{kAppPathKey, L"F:\\x"}}, L"G:\\MED", L"TurboMed", SW_MAIL_TURBOMED, L"F:\\x"},
      {"key without path value still decides", {{kAlbisKey, kNone}, {kTurboKey, L"E:\\TM"}}, L"G:\\MED", L"Albis",
       SW_MAIL_ALBIS, L""},
      {"path passed on unchanged", {{kM1Key, L"  %ProgramFiles%\\M1 "}}, nullptr, L"Compumed M1", SW_MAIL_COMPUMED,
       L"  %ProgramFiles%\\M1 "},
      {"empty MEDISTARDIR counts as unset", {}, L"", L"", L"", L""},
      {"nothing installed", {}, nullptr, L"", L"", L""},
  };
  for (const TCase& c : kCases) {
    SCOPED_TRACE(c.sName);
    TFakeRegistry reg;
    const wchar_t* kValueNames[] = {L"Installationspfad", L"ProgramPath", L"Path", L"Path"};
    const std::wstring* kKeys[] = {&kAlbisKey, &kM1Key, &kTurboKey, &kAppPathKey};
    for (int i = 0; i < 4; ++i) {
      auto it = c.KeysAndPaths.find(*kKeys[i]);
      if (it == c.KeysAndPaths.end()) continue;
      reg.Keys.insert(it->first);
      if (it->second != kNone) reg.Values[{it->first, kValueNames[i]}] = it->second;
      // A value of another row's name must not be taken.
      reg.Values[{it->first, L"Wrong"}] = L"Z:\\wrong";
    }
    TFakeEnvironment env;
    if (c.sMedistar) env.Vars[L"MEDISTARDIR"] = c.sMedistar;
    std::wstring sName = L"\xbd", sMail = L"alt@x.example", sPath = L"\xbd";
    GetAISInstallation(reg, env, sName, sMail, sPath);
    EXPECT_EQ(sName, c.sExpName);
    EXPECT_EQ(sMail, c.sExpMail);
    EXPECT_EQ(sPath, c.sExpPath);
  }
}

TEST(AisDetection, KeysUnderOtherRootsAreNotSeen) {
  // Only HKEY_LOCAL_MACHINE counts: a fake that answers every root would hide a wrong selector.
  class TCurrentUserOnly : public TFakeRegistry {
   public:
    bool RegKeyExists(TRootSelector aRoot, const std::wstring& sKey) override {
      return aRoot != rsLocalMachine && Keys.count(sKey) != 0;
    }
  } reg;
  reg.Keys.insert(kAlbisKey);
  TFakeEnvironment env;
  std::wstring sName, sMail, sPath;
  GetAISInstallation(reg, env, sName, sMail, sPath);
  EXPECT_EQ(sName, L"");
}

TEST(AisDetection, VendorAddressesAreDistinct) {
  const std::set<std::wstring> addresses = {SW_MAIL_ALBIS, SW_MAIL_COMPUMED, SW_MAIL_TURBOMED, SW_MAIL_MEDISTAR};
  EXPECT_EQ(addresses.size(), 4u);
  for (const std::wstring& s : addresses) {
    SCOPED_TRACE(testing::PrintToString(s));
    EXPECT_NE(s.find(L'@'), std::wstring::npos);
    EXPECT_EQ(s.find_first_of(L" ,;<>"), std::wstring::npos) << "one plain address";
  }
}

}  // namespace
}  // namespace sw
