// The framework's string: a QString with the MFC spellings the program uses. The program names
// only the MFC members, so the string can change underneath without touching its callers.
#pragma once

#include <QByteArray>
#include <QString>

#include "app/framework/win_types.h"

class CString : public QString {
public:
    using QString::QString;
    CString() = default;
    CString(const QString& s) : QString(s) {}
    CString(QString&& s) : QString(std::move(s)) {}
    CString(const CString& s) : QString(s) {}
    CString& operator=(const CString& s) {
        QString::operator=(s);
        return *this;
    }

    // printf-style formatting of the whole string.
    void Format(const char* lpszFormat, ...) __attribute__((format(printf, 2, 3)));
    int GetLength() const { return static_cast<int>(size()); }
    BOOL IsEmpty() const { return isEmpty() ? TRUE : FALSE; }
    void Empty() { clear(); }
    // Index of the first ch at or after nStart, or -1.
    int Find(char ch, int nStart = 0) const {
        return static_cast<int>(indexOf(QLatin1Char(ch), nStart));
    }
    CString Mid(int nFirst, int nCount) const { return CString(mid(nFirst, nCount)); }
    CString Mid(int nFirst) const { return CString(mid(nFirst)); }
    // The text as narrow characters, valid until the string or the next call changes it.
    LPCTSTR GetString() const {
        m_narrow = toUtf8();
        return m_narrow.constData();
    }

private:
    mutable QByteArray m_narrow;
};
