#pragma once

// Extended attributes, and with them the access control lists (a lab's
// MyMicOut shared with a colleague stays shared), go over from the existing
// file at existingPath to the new file open in descriptor as they are; one
// the new file got that the existing file lacks (a folder's default list) is
// taken away. False when an attribute cannot be given, such as a security
// label that differs. Where the system keeps no extended attributes, there
// are none to give.
bool KeepExtendedAttributes(int descriptor, const char* existingPath);
