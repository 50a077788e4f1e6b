// CString under any sequence of calls with any bytes and indexes: each call gives what the
// plain byte-string reading of it gives, and none reads or writes outside the text.
#include <fuzzer/FuzzedDataProvider.h>
#include <algorithm>
#include "CString.h"
#include "FuzzSupport.h"

namespace
{
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string Sub(const std::string& s, long first, long count)
{
    first = std::max(first, 0L);
    count = std::max(count, 0L);
    if (first >= (long)s.size())
        return std::string();
    return s.substr((size_t)first, (size_t)count);
}

// Case mapping of ASCII letters that never touches the second byte of a GBK character.
std::string CaseMapped(std::string s, bool bUpper)
{
    for (size_t i = 0; i < s.size(); ++i)
    {
        if ((unsigned char)s[i] > 0x80)
        {
            ++i;
            continue;
        }
        if (bUpper && s[i] >= 'a' && s[i] <= 'z')
            s[i] = (char)(s[i] - 'a' + 'A');
        if (!bUpper && s[i] >= 'A' && s[i] <= 'Z')
            s[i] = (char)(s[i] - 'A' + 'a');
    }
    return s;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    std::string model = in.ConsumeRandomLengthString(256).c_str();
    CString s(model.c_str());
    for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step)
    {
        const int i = in.ConsumeIntegralInRange<int>(-4, 300);
        const int n = in.ConsumeIntegralInRange<int>(-4, 300);
        const char ch = in.ConsumeIntegral<char>();
        const std::string arg = in.ConsumeRandomLengthString(8).c_str();
        switch (in.ConsumeIntegralInRange<int>(0, 19))
        {
        case 0:
        {
            size_t p = (i < 0 || i >= (int)model.size()) ? std::string::npos : model.find(ch, (size_t)i);
            FUZZ_CHECK(s.Find(ch, i) == (p == std::string::npos ? -1 : (int)p));
            break;
        }
        case 1:
        {
            size_t p = (i < 0 || i > (int)model.size()) ? std::string::npos : model.find(arg, (size_t)i);
            FUZZ_CHECK(s.Find(arg.c_str(), i) == (p == std::string::npos ? -1 : (int)p));
            break;
        }
        case 2:
            FUZZ_CHECK(s.Mid(i, n).str() == Sub(model, i, n));
            FUZZ_CHECK(s.Mid(i).str() == Sub(model, i, (long)model.size()));
            break;
        case 3:
            FUZZ_CHECK(s.Left(n).str() == Sub(model, 0, n));
            FUZZ_CHECK(s.Right(n).str() == (n <= 0 ? std::string() : n >= (int)model.size() ? model : model.substr(model.size() - n)));
            break;
        case 4:
            s.TrimLeft();
            while (!model.empty() && IsSpace(model.front()))
                model.erase(0, 1);
            s.TrimRight(ch);
            while (!model.empty() && model.back() == ch)
                model.pop_back();
            break;
        case 5:
        {
            s.Trim(arg.c_str());
            size_t b = model.find_first_not_of(arg);
            model = b == std::string::npos ? std::string() : model.substr(b, model.find_last_not_of(arg) - b + 1);
            break;
        }
        case 6:
            s.MakeUpper();
            model = CaseMapped(model, true);
            break;
        case 7:
            s.MakeLower();
            model = CaseMapped(model, false);
            break;
        case 8:
        {
            const std::string to = in.ConsumeRandomLengthString(4).c_str();
            int count = 0;
            if (!arg.empty())
                for (size_t p = 0; (p = model.find(arg, p)) != std::string::npos; p += to.size(), ++count)
                    model.replace(p, arg.size(), to);
            FUZZ_CHECK(s.Replace(arg.c_str(), to.c_str()) == count);
            break;
        }
        case 9:
        {
            size_t before = model.size();
            model.erase(std::remove(model.begin(), model.end(), ch), model.end());
            FUZZ_CHECK(s.Remove(ch) == (int)(before - model.size()));
            break;
        }
        case 10:
            model.insert(std::min((size_t)std::max(i, 0), model.size()), arg);
            FUZZ_CHECK(s.Insert(i, arg.c_str()) == (int)model.size());
            break;
        case 11:
            if (n > 0 && std::max(i, 0) < (int)model.size())
                model.erase((size_t)std::max(i, 0), (size_t)n);
            FUZZ_CHECK(s.Delete(i, n) == (int)model.size());
            break;
        case 12:
            if (n >= 0 && n < (int)model.size())
                model.resize((size_t)n);
            s.Truncate(n);
            break;
        case 13:
        {
            // Every token is a non-empty run without a separator; the walk ends.
            int pos = std::max(i, 0);
            for (int k = 0; k <= (int)model.size() + 1; ++k)
            {
                CString token = s.Tokenize(arg.c_str(), pos);
                if (pos < 0)
                    break;
                FUZZ_CHECK(!token.IsEmpty() && token.str().find_first_of(arg) == std::string::npos);
                FUZZ_CHECK(k <= (int)model.size());
            }
            break;
        }
        case 14:
        {
            char* p = s.GetBuffer(n);
            const int len = std::max(n, (int)model.size());
            if (len > 0)
                p[len - 1] = ch;
            s.ReleaseBuffer(-1);
            if (n > (int)model.size())
                model.resize((size_t)n, '\0');
            if (len > 0)
                model[(size_t)len - 1] = ch;
            model = model.c_str();
            break;
        }
        case 15:
            s.AppendFormat("%s|%d|%c", arg.c_str(), i, ch ? ch : '.');
            model += arg + "|" + std::to_string(i) + "|" + (ch ? ch : '.');
            break;
        case 16:
        {
            auto lower = [](std::string t) {
                for (char& c : t)
                    if (c >= 'A' && c <= 'Z')
                        c = (char)(c - 'A' + 'a');
                return t;
            };
            const std::string a = lower(model), b = lower(arg);
            const int expected = a == b ? 0 : ((unsigned char)a[std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin()] <
                                                       (unsigned char)b[std::mismatch(a.begin(), a.end(), b.begin(), b.end()).second - b.begin()]
                                                   ? -1
                                                   : 1);
            FUZZ_CHECK(s.CompareNoCase(arg.c_str()) == expected);
            break;
        }
        case 17:
            s += arg.c_str();
            s += ch ? ch : '.';
            model += arg;
            model += ch ? ch : '.';
            break;
        case 18:
            FUZZ_CHECK(s.SpanExcluding(arg.c_str()).str() == model.substr(0, std::min(model.find_first_of(arg), model.size())));
            FUZZ_CHECK(s.SpanIncluding(arg.c_str()).str() == model.substr(0, std::min(model.find_first_not_of(arg), model.size())));
            break;
        default:
            s.MakeReverse();
            std::reverse(model.begin(), model.end());
            break;
        }
        FUZZ_CHECK(s.str() == model);
        FUZZ_CHECK(s.GetLength() == (int)model.size());
        if (model.size() > 65536)
            break;
    }
    return 0;
}
