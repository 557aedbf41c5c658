// What the Qt back end's windows share: the dialog font, the program's pictures as images and
// the real message boxes.
#pragma once

#include <QFont>
#include <QImage>
#include <QString>

#include "app/framework/app.h"

// The real service: a QMessageBox, modal, with the icon and buttons the flags ask for.
class QtMessageBoxService : public MessageBoxService {
public:
    int Show(void* owner, const char* text, const char* caption, unsigned flags) override;
};

// Registers the Tahoma-metric font of fonts-wine when present; returns the family the dialogs
// use ("Tahoma", or "DejaVu Sans" without it). Safe to call more than once.
QString LoadDialogFont();
// The font a template asks for (face, points) as the dialogs draw it: 96 pixels per inch.
QFont DialogFont(const char* lpszFaceName, int nPointSize);

// A bitmap or icon resource of the program at its own pixel size; null when it does not exist.
// Looked up as :/res/<id>.png, then :/res/<id>.svg.
QImage LoadBitmapResource(int nIDResource);
