// CSearchButton: made by class too, as the framework re-creates the bar's buttons.
#include "SearchButton.h"

IMPLEMENT_DYNCREATE(CSearchButton, CMFCToolBarButton)
