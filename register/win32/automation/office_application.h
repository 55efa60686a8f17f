#pragma once

#include "register/core/automation/office_automation.h"
#include "register/win32/automation/dispatch.h"

// The first attempt of the order that gives an application object: attach
// to the running object registered for the ProgID, or start a new one.
// Empty when every attempt fails; the failures are not reported.
Dispatch AcquireApplication(const quorva::AutomationOrder& order);
