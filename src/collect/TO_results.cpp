#include "collect/TO_results.h"

TO_results::TO_results(QWidget* parent) : QWidget(parent) {
    setObjectName("O_results1");
}
TO_results::~TO_results() = default;

void TO_results::ClearItems() {}
void TO_results::Rebuild() {
    ClearItems();
    Fill();
}
void TO_results::Fill() {}
bool TO_results::Accepts(TQelPigger*) {
    return !filtered_;
}
void TO_results::ShowRecord(TQelPigger*, bool) {}
TQelPigger* TO_results::SelectedRecord() const {
    return nullptr;
}
std::string TO_results::SelectedRedirect() const {
    return {};
}
void TO_results::OpenSelected() {}
bool TO_results::DeleteSelected() {
    return false;
}
void TO_results::StoreChecks() {}
bool TO_results::RunFilter() {
    return filtered_;
}
