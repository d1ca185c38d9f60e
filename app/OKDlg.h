// The confirmation dialog of a drop of several files: one file at a time, convert it or skip it.
#pragma once

#include <QDialog>

#include "app/PathLabel.h"

class QFrame;
class QLabel;
class QPushButton;

class TOKBottomDlg : public QDialog {
    Q_OBJECT

public:
    // The caller puts the file's full path into StaticText1 before exec(); Accepted means convert it.
    explicit TOKBottomDlg(QWidget* owner);

    QLabel* Label1;
    QFrame* Bevel1;
    PathLabel* StaticText1;
    QPushButton* Start;
    QPushButton* CancelBtn;

protected:
    // Centred once its file text has set its size.
    void showEvent(QShowEvent* event) override;
};
