// A one-page 4 x 6 inch label PDF with the order number on it, written by hand.
#pragma once

#include <string>

std::string BuildLabelPdf(const std::string& orderNumber);
