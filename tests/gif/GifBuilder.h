// GIF files built byte by byte for the tests: header, colour table, extensions, images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CGifBuilder
{
public:
    typedef std::vector<unsigned char> Bytes;

    // Palette of the global colour table.
    enum { WHITE = 0, RED = 1, GREEN = 2, BLUE = 3 };

    CGifBuilder(int nWidth, int nHeight)
    {
        Append("GIF89a");
        Word(nWidth);
        Word(nHeight);
        m_data.push_back(0x81);  // global table of 4 entries
        m_data.push_back(0);
        m_data.push_back(0);
        const unsigned char table[12] = { 255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255 };
        m_data.insert(m_data.end(), table, table + 12);
    }

    CGifBuilder& Control(int nDelay, int nDisposal)
    {
        const unsigned char block[8] = { 0x21, 0xF9, 4, (unsigned char)((nDisposal & 7) << 2),
                                         (unsigned char)(nDelay & 0xFF), (unsigned char)(nDelay >> 8), 0, 0 };
        m_data.insert(m_data.end(), block, block + 8);
        return *this;
    }

    CGifBuilder& Comment(const std::string& text)
    {
        m_data.push_back(0x21);
        m_data.push_back(0xFE);
        SubBlocks(Bytes(text.begin(), text.end()));
        return *this;
    }

    CGifBuilder& Application()
    {
        m_data.push_back(0x21);
        m_data.push_back(0xFF);
        m_data.push_back(11);
        Append("NETSCAPE2.0");
        SubBlocks(Bytes{ 1, 0, 0 });
        return *this;
    }

    // An extension whose label the control does not know.
    CGifBuilder& UnknownExtension()
    {
        m_data.push_back(0x21);
        m_data.push_back(0x77);
        SubBlocks(Bytes{ 0xAA, 0xBB, 0xCC });
        return *this;
    }

    // A rectangle of one colour.
    CGifBuilder& Image(int nLeft, int nTop, int nWidth, int nHeight, int nColor)
    {
        m_data.push_back(0x2C);
        Word(nLeft);
        Word(nTop);
        Word(nWidth);
        Word(nHeight);
        m_data.push_back(0);
        m_data.push_back(2);  // LZW minimum code size
        SubBlocks(Lzw(nWidth * nHeight, nColor));
        return *this;
    }

    CGifBuilder& Trailer()
    {
        m_data.push_back(0x3B);
        return *this;
    }

    const Bytes& Data() const { return m_data; }

private:
    void Append(const char* psz)
    {
        for (; *psz; ++psz)
            m_data.push_back((unsigned char)*psz);
    }
    void Word(int n)
    {
        m_data.push_back((unsigned char)(n & 0xFF));
        m_data.push_back((unsigned char)((n >> 8) & 0xFF));
    }
    void SubBlocks(const Bytes& bytes)
    {
        for (size_t i = 0; i < bytes.size(); i += 255)
        {
            size_t n = bytes.size() - i < 255 ? bytes.size() - i : 255;
            m_data.push_back((unsigned char)n);
            m_data.insert(m_data.end(), bytes.begin() + (long)i, bytes.begin() + (long)(i + n));
        }
        m_data.push_back(0);
    }
    // Every pixel as a literal behind a clear code, so the code width stays at 3 bits.
    static Bytes Lzw(int nPixels, int nColor)
    {
        Bytes out;
        uint32_t acc = 0;
        int nBits = 0;
        auto emit = [&](uint32_t code) {
            acc |= code << nBits;
            nBits += 3;
            while (nBits >= 8)
            {
                out.push_back((unsigned char)(acc & 0xFF));
                acc >>= 8;
                nBits -= 8;
            }
        };
        for (int i = 0; i < nPixels; ++i)
        {
            emit(4);
            emit((uint32_t)nColor);
        }
        emit(5);
        if (nBits > 0)
            out.push_back((unsigned char)(acc & 0xFF));
        return out;
    }

    Bytes m_data;
};
