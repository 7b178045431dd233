#include "ui/app/CHelpDialog.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

// The resources live in a static library, whose registration the linker would otherwise drop.
static void InitResources() {
    Q_INIT_RESOURCE(tavik);
}

CHelpDialog::CHelpDialog(QWidget* parent) : QDialog(parent), m_pBrowser(new QTextBrowser(this)) {
    InitResources();
    setWindowTitle(tr("Tavik Programmer Help"));
    m_pBrowser->setOpenExternalLinks(false);
    m_pBrowser->setSource(QUrl(QString::fromLatin1(kHelpUrl)));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pBrowser);
    layout->addWidget(buttons);
    resize(720, 640);
}
