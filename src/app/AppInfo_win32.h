#pragma once
#include <windows.h>

namespace sw {

// True when the caller's token (the thread's when it impersonates, else the process's)
// lists the Administrators group S-1-5-32-544, whatever the group's attributes.
bool IsAdministrator();
// The test over a group list as GetTokenInformation(TokenGroups) gives it.
bool GroupsHaveAdministrators(const TOKEN_GROUPS& aGroups);
// The same test over a token handle; false when the group list does not fit 1024 bytes.
bool TokenHasAdministrators(HANDLE hToken);

}  // namespace sw
