#pragma once

#include <unknwn.h>

#include "tests/win32/automation/standins/standin_ids.h"

namespace standins {

// A class factory for one of the stand-in classes.
IClassFactory* NewFactory(const StandInClass& type);

// Objects, factories and factory locks alive in this module.
long LiveObjects();

}  // namespace standins
