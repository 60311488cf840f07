#pragma once
// Whether a window's icon is Sichtwerk's own. The test programs that open the program's
// windows carry its icon as group 1, as Sichtwerk.exe does (ProgramIcon.rc): the icon
// must come from there and show the pixels of Sichtwerk.exe's group 1 at its size.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "common/SichtwerkProcess_win32.h"

namespace sw::test {

using TBitmapOwner = std::unique_ptr<std::remove_pointer_t<HBITMAP>, decltype(&::DeleteObject)>;
using TIconOwner = std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&::DestroyIcon)>;
using TModuleOwner = std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&::FreeLibrary)>;

// The colour pixels, 32 bits each, top row first; empty when Windows cannot read them.
inline std::vector<DWORD> IconPixels(HICON hIcon, int& nWidth, int& nHeight) {
  ICONINFO ii{};
  if (!::GetIconInfo(hIcon, &ii)) return {};
  TBitmapOwner color(ii.hbmColor, &::DeleteObject), mask(ii.hbmMask, &::DeleteObject);
  BITMAP bm{};
  if (!color || !::GetObjectW(color.get(), sizeof bm, &bm)) return {};
  nWidth = bm.bmWidth;
  nHeight = bm.bmHeight;
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> aPixels(static_cast<std::size_t>(bm.bmWidth) * bm.bmHeight);
  HDC hdc = ::GetDC(nullptr);
  const int nRows = ::GetDIBits(hdc, color.get(), 0, bm.bmHeight, aPixels.data(), &bi, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, hdc);
  if (nRows != bm.bmHeight) return {};
  return aPixels;
}

inline testing::AssertionResult IsProgramIcon(HICON hIcon, int nSize) {
  if (!hIcon) return testing::AssertionFailure() << "no icon";
  ICONINFOEXW ix{};
  ix.cbSize = sizeof ix;
  if (!::GetIconInfoExW(hIcon, &ix)) return testing::AssertionFailure() << "GetIconInfoExW " << ::GetLastError();
  TBitmapOwner color(ix.hbmColor, &::DeleteObject), mask(ix.hbmMask, &::DeleteObject);
  wchar_t sSelf[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, sSelf, MAX_PATH);
  if (_wcsicmp(ix.szModName, sSelf) != 0 || ix.wResID != 1)
    return testing::AssertionFailure() << "loaded from " << ToUtf8(ix.szModName) << " resource " << ix.wResID;

  const std::wstring sExe = TestProgramFolder() + L"\\Sichtwerk.exe";
  TModuleOwner hExe(::LoadLibraryExW(sExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE),
                    &::FreeLibrary);
  TIconOwner hExeIcon(
      hExe ? static_cast<HICON>(::LoadImageW(hExe.get(), MAKEINTRESOURCEW(1), IMAGE_ICON, nSize, nSize, 0)) : nullptr,
      &::DestroyIcon);
  if (!hExeIcon) return testing::AssertionFailure() << "Sichtwerk.exe has no icon group 1";
  int w = 0, h = 0, we = 0, he = 0;
  const auto aPixels = IconPixels(hIcon, w, h), aExePixels = IconPixels(hExeIcon.get(), we, he);
  if (w != nSize || h != nSize) return testing::AssertionFailure() << w << "x" << h << " pixels, not " << nSize;
  if (aPixels.empty() || aPixels != aExePixels)
    return testing::AssertionFailure() << "not the pixels of Sichtwerk.exe's icon at " << nSize;
  return testing::AssertionSuccess();
}

}  // namespace sw::test
