#pragma once

#include <QDialog>
#include <QPixmap>

// A driver's about box: its caption, the control's icon, one line of text and OK.
class AboutDialog final : public QDialog
{
    Q_OBJECT

public:
    // An about box with the caption, icon and text line.
    AboutDialog(const QString& caption, const QPixmap& icon, const QString& text,
                QWidget* parent = nullptr);
};
