// Code-page conversion of received text, and two string helpers.
#pragma once

#include <string>
#include "CString.h"
#include "CStringArray.h"

// Converts UTF-8 text to the ANSI code page in place; unmappable characters become "?".
void Utf8ToAnsi(CString& text);
void Utf8ToAnsi(std::string& text);

// The bytes of the text up to its first zero byte.
std::string CStringToStdString(CString text);

// Splits the trimmed text at separator into out (emptied first); empty pieces and leading
// separators are dropped, white space inside pieces stays.
void SplitString(CString text, char separator, CStringArray& out);
