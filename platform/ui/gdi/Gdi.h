// The drawing layer in one include: the calls (GdiApi.h) and the framework classes.
#pragma once

#include "GdiApi.h"
#include "GdiObject.h"
#include "GdiDC.h"
