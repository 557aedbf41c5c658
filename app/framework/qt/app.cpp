#include "app/framework/qt/app_qt.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>

#include <map>

#include "app/framework/closing.h"
#include "app/framework/gdi.h"
#include "app/framework/qt/svg_picture.h"
#include "app/framework/qt/wnd_internal.h"
#include "app/framework/wnd.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

constexpr const char* kTahomaPath = "/usr/share/wine/fonts/tahoma.ttf";
constexpr const char* kTahomaBoldPath = "/usr/share/wine/fonts/tahomabd.ttf";
constexpr const char* kFallbackFamily = "DejaVu Sans";

QtMessageBoxService g_qtBoxes;

// The owner of boxes raised by code that knows no windows (the device and settings layer).
void* ForegroundWindowHandle() {
    CWnd* fg = CWnd::GetForegroundWindow();
    return fg != nullptr ? fg->GetSafeHwnd() : nullptr;
}
// Colours without a palette role.
std::map<int, COLORREF> g_otherColors;

struct RoleOf {
    int nIndex;
    QPalette::ColorRole roles[3];
    int nRoles;
};

// Which palette roles stand for which system colour. The button face is also the dialog
// background, as on Windows.
const RoleOf kRoles[] = {
    {COLOR_BTNFACE, {QPalette::Button, QPalette::Window}, 2},
    {COLOR_WINDOWTEXT, {QPalette::WindowText, QPalette::Text}, 2},
    {COLOR_BTNTEXT, {QPalette::ButtonText}, 1},
    {COLOR_WINDOW, {QPalette::Base}, 1},
    {COLOR_HIGHLIGHT, {QPalette::Highlight}, 1},
    {COLOR_HIGHLIGHTTEXT, {QPalette::HighlightedText}, 1},
    {COLOR_BTNSHADOW, {QPalette::Dark}, 1},
    {COLOR_BTNHIGHLIGHT, {QPalette::Light}, 1},
    {COLOR_INFOTEXT, {QPalette::ToolTipText}, 1},
    {COLOR_INFOBK, {QPalette::ToolTipBase}, 1},
};

const RoleOf* FindRole(int nIndex) {
    for (const RoleOf& r : kRoles) {
        if (r.nIndex == nIndex) {
            return &r;
        }
    }
    return nullptr;
}

QMessageBox::Icon IconOf(unsigned flags) {
    switch (flags & 0xF0) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONASTERISK:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

QString LoadDialogFont() {
    static QString family;
    if (!family.isEmpty()) {
        return family;
    }
    family = QString::fromLatin1(kFallbackFamily);
    if (QFile::exists(QString::fromLatin1(kTahomaPath))) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kTahomaPath));
        if (QFile::exists(QString::fromLatin1(kTahomaBoldPath))) {
            QFontDatabase::addApplicationFont(QString::fromLatin1(kTahomaBoldPath));
        }
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty()) {
            family = families.front();
        }
    }
    return family;
}

QFont DialogFont(const char* lpszFaceName, int nPointSize) {
    const QString loaded = LoadDialogFont();
    QString face = QString::fromUtf8(lpszFaceName != nullptr ? lpszFaceName : "");
    // Faces the system does not have fall back to the dialog face (Tahoma, or its stand-in).
    if (face.isEmpty() || !QFontDatabase::families().contains(face, Qt::CaseInsensitive)) {
        face = loaded;
    }
    QFont font(face);
    font.setPixelSize(std::max(1, MulDiv(nPointSize, 96, 72)));
    font.setStyleHint(QFont::SansSerif);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void AfxInitFramework(bool bInstallMessageBoxes) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QApplication::setFont(DialogFont("MS Shell Dlg", 8));
    SetForegroundWindowSource(&ForegroundWindowHandle);
    if (bInstallMessageBoxes) {
        SetMessageBoxService(&g_qtBoxes);
    }
}

COLORREF GetSysColor(int nIndex) {
    if (const RoleOf* r = FindRole(nIndex)) {
        return RefFromColor(QApplication::palette().color(QPalette::Active, r->roles[0]));
    }
    auto it = g_otherColors.find(nIndex);
    return it != g_otherColors.end() ? it->second : RGB(0, 0, 0);
}

BOOL SetSysColors(int cElements, const int* lpaElements, const COLORREF* lpaRgbValues) {
    if (cElements < 0 || (cElements > 0 && (lpaElements == nullptr || lpaRgbValues == nullptr))) {
        return FALSE;
    }
    QPalette pal = QApplication::palette();
    for (int i = 0; i < cElements; ++i) {
        const QColor c = ColorFromRef(lpaRgbValues[i]);
        if (const RoleOf* r = FindRole(lpaElements[i])) {
            for (int k = 0; k < r->nRoles; ++k) {
                pal.setColor(QPalette::All, r->roles[k], c);
            }
        } else {
            g_otherColors[lpaElements[i]] = lpaRgbValues[i];
        }
    }
    QApplication::setPalette(pal);
    return TRUE;
}

int MessageBox(HWND hOwner, const char* lpszText, const char* lpszCaption, UINT nType) {
    void* owner = WidgetOf(hOwner);
    if (owner == nullptr) {
        if (CWnd* fg = CWnd::GetForegroundWindow()) {
            owner = WidgetOf(fg->GetSafeHwnd());
        }
    }
    return MessageBoxes().Show(owner, lpszText != nullptr ? lpszText : "",
                               lpszCaption != nullptr ? lpszCaption : "", nType);
}

int QtMessageBoxService::Show(void* owner, const char* text, const char* caption, unsigned flags) {
    auto* parent = static_cast<QWidget*>(owner);
    QMessageBox box(IconOf(flags), QString::fromUtf8(caption), QString::fromUtf8(text),
                    QMessageBox::NoButton, parent);
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    const unsigned buttons = flags & 0xF;
    if (buttons == MB_YESNO) {
        ok = box.addButton(QMessageBox::Yes);
        cancel = box.addButton(QMessageBox::No);
    } else {
        ok = box.addButton(QMessageBox::Ok);
        if (buttons == MB_OKCANCEL) {
            cancel = box.addButton(QMessageBox::Cancel);
        }
    }
    box.setDefaultButton(ok);
    if (cancel != nullptr) {
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);
    }
    if ((flags & (MB_SYSTEMMODAL | MB_TOPMOST)) != 0) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    // Closing answers the box as if it was closed, now or once it is on screen.
    const ModalLoopScope loop([&box]() { box.close(); });
    if (AfxIsClosing()) {
        return buttons == MB_YESNO ? IDNO : (cancel != nullptr ? IDCANCEL : IDOK);
    }
    box.exec();
    const bool yes = box.clickedButton() == ok || box.clickedButton() == nullptr;
    if (buttons == MB_YESNO) {
        return yes ? IDYES : IDNO;
    }
    return yes ? IDOK : IDCANCEL;
}

QImage LoadBitmapResource(int nIDResource) {
    const QString png = QStringLiteral(":/res/%1.png").arg(nIDResource);
    if (QFile::exists(png)) {
        return QImage(png);
    }
    const QString svg = QStringLiteral(":/res/%1.svg").arg(nIDResource);
    if (QFile::exists(svg)) {
        return RenderSvgPicture(svg);
    }
    return QImage();
}
