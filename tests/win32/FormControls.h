// The wizard's control table for the Windows tests: the driver's, under the tests' names.
#pragma once

#include "driver/FormControls.h"

namespace revivix::wintest {

using driver::ControlId;
using driver::kFirstControlId;
using driver::kFormControls;
using driver::kWizardCaption;

}  // namespace revivix::wintest
