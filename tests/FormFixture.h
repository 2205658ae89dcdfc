// A wizard window on the fake platform, with the shipped English language file in place.
#pragma once

#include <gtest/gtest.h>

#include "app/Lifecycle.h"
#include "app/frmMain.h"
#include "fakes/FakePlatform.h"

namespace revivix::test {

struct FormTest : ::testing::Test {
  // A small English language file of the test's own, so that texts can be checked exactly.
  FormTest() {
    platform.WriteFile("Languages/English.txt",
                       "[Strings]\r\nIDS_EXIT=Exit\r\nIDS_ADMIN_ERROR_MSG=you need administrator "
                       "rights.\r\nIDS_NO_INTERNET_CONNECTION=no connection.\r\n");
  }
  FakePlatform platform;
  frmMain form{platform.program};
};

}  // namespace revivix::test
