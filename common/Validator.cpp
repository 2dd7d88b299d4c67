// Placeholder until the validator lands.
#include "Validator.h"
#include <QLineEdit>
Validator::Validator(QLineEdit* le, int b, int t, int, int m) : QDoubleValidator(nullptr), pLineEdit(le), nMode(m), nBottom(b), nTop(t) {}
Validator::Validator(QLineEdit* le, double b, double t, int d, int, int m, double r) : QDoubleValidator(nullptr), pLineEdit(le), nMode(m), nDecimals(d), dBottom(b), dTop(t), dReset(r) { setRange(b, t, d); }
Validator::~Validator() = default;
bool Validator::eventFilter(QObject* w, QEvent* e) { return QDoubleValidator::eventFilter(w, e); }
QValidator::State Validator::validate(QString& i, int& p) const { return QDoubleValidator::validate(i, p); }
void Validator::Install(QLineEdit* le, Validator* v) { if (le) le->setValidator(v); }
void Validator::ShowTip(const QString&) const {}
QString Validator::WholeTip() const { return {}; }
QString Validator::DecimalTip() const { return {}; }
