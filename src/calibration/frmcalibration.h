#pragma once

#include <QDialog>

#include "app/appcontext.h"

// Trims the converter values of both ends of the analog output live and drives test levels.
class frmCalibration final : public QDialog
{
    Q_OBJECT

public:
    explicit frmCalibration(AppContext &context, QWidget *parent = nullptr);

private:
    AppContext &m_context;
};
