// A one-page label PDF with the order number on it, written by hand; 4 x 6 inches unless asked.
#pragma once

#include <string>

std::string BuildLabelPdf(const std::string& orderNumber, double widthPt = 288, double heightPt = 432);
