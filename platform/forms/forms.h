#pragma once
// The whole form model in one include.
#include "platform/forms/control.h"
#include "platform/forms/form.h"
#include "platform/forms/property.h"
#include "platform/forms/scheduler.h"
