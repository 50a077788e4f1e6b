// The common controls, as one include: list view and tree view.
#pragma once

#include "CListCtrl.h"
#include "CTreeCtrl.h"
