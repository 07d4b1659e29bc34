#include "platform/own_file.h"

#include "platform/platform.h"

bool IsFileOfItsOwn(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION information;
  return Win32().GetFileInformationByHandle(file, &information) &&
         information.nNumberOfLinks == 1 &&
         (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}
