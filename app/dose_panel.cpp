// SPDX-License-Identifier: GPL-3.0-or-later
#include "dose_panel.h"

#include "model/products.h"
#include "ui/number_format.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>

#include <cmath>

namespace phbuffer::app {

namespace {

const char* const kProductKey = "dose/product";
const char* const kVolumeKey = "dose/volume";
const char* const kOwnKey = "dose/own";
/// The product entry that stands for the user's own.
const char* const kOwnProduct = "own";

} // namespace

DosePanel::DosePanel(QWidget* parent)
    : QWidget(parent), product_(new QComboBox(this)), compound_(new QComboBox(this)),
      fraction_(new QLineEdit(this)), density_(new QLineEdit(this)), volume_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("DosePanel"));
    product_->setObjectName(QStringLiteral("DoseProduct"));
    compound_->setObjectName(QStringLiteral("DoseCompound"));
    fraction_->setObjectName(QStringLiteral("DoseFraction"));
    density_->setObjectName(QStringLiteral("DoseDensity"));
    volume_->setObjectName(QStringLiteral("DoseVolume"));
    product_->addItem(tr("no dose"), QString());
    for (const model::Product& p : model::standardProducts())
        product_->addItem(QString::fromStdString(p.name), QString::fromStdString(p.key));
    product_->addItem(tr("own product"), QString::fromLatin1(kOwnProduct));
    for (const model::Compound& c : model::compounds())
        compound_->addItem(QString::fromStdString(c.formula), QString::fromStdString(c.key));
    fraction_->setPlaceholderText(tr("mass fraction, 0 to 1"));
    density_->setPlaceholderText(tr("density [kg/L]"));
    volume_->setPlaceholderText(tr("m³"));
    volume_->setMaximumWidth(90);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(tr("Dose of"), this));
    row->addWidget(product_);
    row->addWidget(compound_);
    row->addWidget(fraction_);
    row->addWidget(density_);
    row->addWidget(new QLabel(tr("in"), this));
    row->addWidget(volume_);
    row->addWidget(new QLabel(tr("m³ of water"), this));
    row->addStretch(1);

    // The last choice comes back; the own product's fields keep what was typed.
    const QSettings settings;
    const int index = product_->findData(settings.value(QString::fromLatin1(kProductKey)));
    product_->setCurrentIndex(index < 0 ? 0 : index);
    volume_->setText(settings.value(QString::fromLatin1(kVolumeKey)).toString());
    const QStringList own = settings.value(QString::fromLatin1(kOwnKey)).toStringList();
    if (own.size() == 3) {
        compound_->setCurrentIndex(std::max(0, compound_->findData(own[0])));
        fraction_->setText(own[1]);
        density_->setText(own[2]);
    }
    showOwnFields();

    const auto edited = [this] {
        showOwnFields();
        remember();
        emit changed();
    };
    connect(product_, &QComboBox::currentIndexChanged, this, edited);
    connect(compound_, &QComboBox::currentIndexChanged, this, edited);
    for (QLineEdit* edit : {fraction_, density_, volume_})
        connect(edit, &QLineEdit::textEdited, this, edited);
}

void DosePanel::setDecimalSeparator(char32_t separator) {
    separator_ = separator;
    emit changed();
}

std::optional<ui::DoseRequest> DosePanel::request() const {
    const auto number = [this](const QLineEdit* edit) -> std::optional<double> {
        double x = 0;
        if (!ui::TryStrToFloat(edit->text().trimmed(), x, separator_) || !std::isfinite(x))
            return std::nullopt;
        return x;
    };
    const QString key = product_->currentData().toString();
    const std::optional<double> volume = number(volume_);
    if (key.isEmpty() || !volume || !(*volume > 0))
        return std::nullopt;
    std::optional<model::Product> product;
    if (key == QLatin1String(kOwnProduct)) {
        const std::optional<double> fraction = number(fraction_);
        const std::optional<double> density = number(density_);
        if (!fraction || !density)
            return std::nullopt;
        // The own product is named as the command line names one.
        product = model::productNamed(compound_->currentData().toString().toStdString() + ':' +
                                      ui::FloatToStrF(*fraction, 15, 6, U'.').toStdString() + ':' +
                                      ui::FloatToStrF(*density, 15, 6, U'.').toStdString());
    } else {
        product = model::productNamed(key.toStdString());
    }
    if (!product)
        return std::nullopt;
    return ui::DoseRequest{*product, *volume};
}

void DosePanel::remember() const {
    QSettings settings;
    settings.setValue(QString::fromLatin1(kProductKey), product_->currentData());
    settings.setValue(QString::fromLatin1(kVolumeKey), volume_->text());
    settings.setValue(
        QString::fromLatin1(kOwnKey),
        QStringList{compound_->currentData().toString(), fraction_->text(), density_->text()});
}

void DosePanel::showOwnFields() {
    const bool own = product_->currentData().toString() == QLatin1String(kOwnProduct);
    compound_->setVisible(own);
    fraction_->setVisible(own);
    density_->setVisible(own);
}

} // namespace phbuffer::app
