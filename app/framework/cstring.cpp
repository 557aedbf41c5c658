#include "app/framework/cstring.h"

#include <cstdarg>
#include <cstdio>
#include <ostream>

void CString::Format(const char* lpszFormat, ...) {
    va_list args;
    va_start(args, lpszFormat);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, lpszFormat, args);
    va_end(args);
    if (n < 0) {
        m_str.clear();
    } else {
        m_str.assign(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(m_str.data(), m_str.size(), lpszFormat, again);
        m_str.resize(static_cast<std::size_t>(n));
    }
    va_end(again);
}

CString CString::Left(int nCount) const {
    return CString(m_str.substr(0, static_cast<std::size_t>(nCount < 0 ? 0 : nCount)));
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const {
    const int first = nFirst < 0 ? 0 : nFirst;
    if (first >= GetLength() || nCount <= 0) {
        return CString();
    }
    return CString(m_str.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(nCount)));
}

CString CString::Right(int nCount) const {
    const int n = nCount < 0 ? 0 : (nCount > GetLength() ? GetLength() : nCount);
    return CString(m_str.substr(m_str.size() - static_cast<std::size_t>(n)));
}

int CString::Find(char ch, int nStart) const {
    if (nStart < 0 || nStart > GetLength()) {
        return -1;
    }
    const std::size_t at = m_str.find(ch, static_cast<std::size_t>(nStart));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* lpszSub, int nStart) const {
    if (lpszSub == nullptr || nStart < 0 || nStart > GetLength()) {
        return -1;
    }
    const std::size_t at = m_str.find(lpszSub, static_cast<std::size_t>(nStart));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

std::ostream& operator<<(std::ostream& os, const CString& s) {
    return os << s.GetStdString();
}
