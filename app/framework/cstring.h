// The framework's string: narrow characters, as the program's ANSI build has them on Windows,
// with the MFC spellings the handlers use. Window systems convert at their own edge.
#pragma once

#include <iosfwd>
#include <string>

#include "app/framework/win_types.h"

class CString {
public:
    CString() = default;
    CString(const char* psz) : m_str(psz != nullptr ? psz : "") {}
    CString(const char* pch, int nLength) : m_str(pch, static_cast<std::size_t>(nLength)) {}
    CString(std::string str) : m_str(std::move(str)) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty() ? TRUE : FALSE; }
    void Empty() { m_str.clear(); }
    const char* GetString() const { return m_str.c_str(); }
    operator const char*() const { return m_str.c_str(); }
    const std::string& GetStdString() const { return m_str; }

    // printf-style formatting of the whole string.
    void Format(const char* lpszFormat, ...) __attribute__((format(printf, 2, 3)));

    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;
    // Where ch or the text first occurs at or after nStart, or -1.
    int Find(char ch, int nStart = 0) const;
    int Find(const char* lpszSub, int nStart = 0) const;

    CString& operator+=(const CString& s) {
        m_str += s.m_str;
        return *this;
    }
    CString& operator+=(const char* psz) {
        m_str += psz != nullptr ? psz : "";
        return *this;
    }
    CString& operator+=(char ch) {
        m_str += ch;
        return *this;
    }

    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const char* b) { return a += b; }
    friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }
    friend CString operator+(CString a, char b) { return a += b; }

    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
    friend bool operator==(const char* a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

private:
    std::string m_str;
};

std::ostream& operator<<(std::ostream& os, const CString& s);
