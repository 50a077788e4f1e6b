#include "LabelPdf.h"

#include <cstdio>
#include <vector>

namespace
{
// Only printable ASCII goes into the content stream; PDF string escapes for the rest.
std::string PdfText(const std::string& text)
{
    std::string out;
    for (unsigned char c : text)
    {
        if (c == '(' || c == ')' || c == '\\')
        {
            out += '\\';
            out += static_cast<char>(c);
        }
        else if (c >= 32 && c < 127)
            out += static_cast<char>(c);
        else
            out += '?';
    }
    return out;
}

std::string PdfNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", value);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s;
}
}

std::string BuildLabelPdf(const std::string& orderNumber, double widthPt, double heightPt)
{
    std::string number = PdfText(orderNumber);
    // Drawn from the top of the page, so every size shows the same head.
    double top = heightPt;
    char frame[160];
    std::snprintf(frame, sizeof(frame),
                  "2 w 18 18 %.2f %.2f re S\n"
                  "BT /F1 20 Tf 36 %.2f Td (Velkor Express) Tj ET\n"
                  "BT /F1 12 Tf 36 %.2f Td (Order number:) Tj ET\n",
                  widthPt - 36, heightPt - 36, top - 52, top - 92);
    char numberAt[64];
    std::snprintf(numberAt, sizeof(numberAt), "BT /F1 18 Tf 36 %.2f Td (", top - 120);
    std::string content = std::string(frame) + numberAt + number + ") Tj ET\n";
    // A bar pattern of the order number's bytes, so two labels look different.
    double x = 36.0;
    for (unsigned char c : orderNumber)
    {
        for (int bit = 0; bit < 4 && x < widthPt - 38; ++bit)
        {
            double width = ((c >> bit) & 1) ? 3.0 : 1.5;
            char bar[64];
            std::snprintf(bar, sizeof(bar), "%.1f %.2f %.1f 80 re f\n", x, top - 232, width);
            content += bar;
            x += width + 1.5;
        }
    }

    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + PdfNumber(widthPt) + " " + PdfNumber(heightPt)
            + "] /Resources << /Font << /F1 4 0 R >> >> /Contents 5 0 R >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
    };
    std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i)
    {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets)
    {
        char line[32];
        std::snprintf(line, sizeof(line), "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
           + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}
