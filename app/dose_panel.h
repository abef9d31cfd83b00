// SPDX-License-Identifier: GPL-3.0-or-later
//
// The choice of a product to dose and the volume of water it goes into, remembered from
// one session to the next: a product from the list, or one of the user's own (compound,
// mass fraction, density).
#pragma once

#include "ui/analysis.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLineEdit;

namespace phbuffer::app {

class DosePanel : public QWidget {
    Q_OBJECT
public:
    explicit DosePanel(QWidget* parent = nullptr);

    /// The numbers typed are read with @p separator, as the grids read theirs.
    void setDecimalSeparator(char32_t separator);

    /// The product and volume chosen; none without a product or without a volume of water
    /// above 0, or with an own product whose fraction or density is no number.
    std::optional<ui::DoseRequest> request() const;

signals:
    void changed();

private:
    void remember() const;
    void showOwnFields();

    char32_t separator_ = U'.';
    QComboBox* product_;
    QComboBox* compound_;
    QLineEdit* fraction_;
    QLineEdit* density_;
    QLineEdit* volume_;
};

} // namespace phbuffer::app
