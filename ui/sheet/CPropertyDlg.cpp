#include "ui/sheet/CPropertyDlg.h"

#include "model/CBrChnData.h"
#include "ui/grid/CLynGridCtrl.h"
#include "ui/sheet/CSmallDialog.h"
#include "ui/sheet/Cp1252.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr unsigned long kReadOnlyGrey = 0xE2E2E2;
constexpr int kPropertyGridId = 10000;
} // namespace

CPropertyDlg::CPropertyDlg(QWidget* parent)
    : QDialog(parent), m_pGrid(new CLynGridCtrl(this, kPropertyGridId)),
      m_pOk(new QPushButton(tr("OK"), this)), m_pCancel(new QPushButton(tr("Cancel"), this)) {
    m_pGrid->SetColumnCount(2);
    m_pGrid->SetRowCount(10);
    m_pGrid->setAlternatingRowColors(false);
    m_pGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pOk->setDefault(true);
    connect(m_pOk, &QPushButton::clicked, this, &CPropertyDlg::OnOK);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pOk);
    buttons->addStretch(1);
    buttons->addWidget(m_pCancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(5);
    layout->addWidget(m_pGrid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    CSmallDialog::Apply(*this);
}

void CPropertyDlg::SetProperties(CBrChnData** properties, int count) {
    m_nCount = std::clamp(count, 0, kMaxProperties);
    for (int i = 0; i < kMaxProperties; ++i)
        m_pProperties[i] = properties && i < m_nCount ? properties[i] : nullptr;
    m_bFilled = false;
}

void CPropertyDlg::showEvent(QShowEvent* event) {
    if (!m_bFilled) Fill();
    QDialog::showEvent(event);
}

void CPropertyDlg::Fill() {
    m_bFilled = true;
    m_pGrid->SetColumnCount(2);
    m_pGrid->SetRowCount(m_nCount);

    // One row per property, each column wide enough for a dozen characters.
    const QFontMetrics metrics(font());
    const int rowHeight = metrics.height() + metrics.leading() + 8;
    // Wider when the title needs it: the title names the cell and its channel and must be read whole.
    const int titleRoom = CSmallDialog::TitleWidth(*this, windowTitle()) -
                          layout()->contentsMargins().left() - layout()->contentsMargins().right() -
                          2 * m_pGrid->frameWidth();
    const int columnWidth = std::max(12 * metrics.averageCharWidth() + 5, (titleRoom + 1) / 2);
    m_pGrid->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_pGrid->verticalHeader()->setMinimumSectionSize(rowHeight);
    for (int row = 0; row < m_nCount; ++row)
        m_pGrid->setRowHeight(row, rowHeight);
    m_pGrid->SetColumnWidth(0, columnWidth);
    m_pGrid->SetColumnWidth(1, columnWidth);
    const int frame = 2 * m_pGrid->frameWidth();
    m_pGrid->setFixedSize(2 * columnWidth + frame, std::max(m_nCount, 1) * rowHeight + frame);
    m_pGrid->ExpandToFit();

    for (int row = 0; row < m_nCount; ++row) {
        const CBrChnData* property = m_pProperties[row];
        if (!property) continue;
        m_pGrid->SetCellType(row, 0, CLynGridCtrl::GVET_READONLY);
        m_pGrid->SetItemText(row, 0, FromCp1252(property->GetName()));
        const std::vector<std::string>& items = property->GetData();
        if (property->m_bEditable) {
            if (items.size() > 1) {
                QStringList list;
                for (const std::string& item : items)
                    list << FromCp1252(item);
                m_pGrid->SetCellType(row, 1, CLynGridCtrl::GVET_LIST);
                m_pGrid->FillListItems(row, 1, list);
                m_pGrid->SetItemText(row, 1, FromCp1252(property->GetDataAsString()));
            } else if (items.size() == 1) {
                m_pGrid->SetCellType(row, 1, CLynGridCtrl::GVET_EDIT);
                m_pGrid->SetItemText(row, 1, FromCp1252(items.front()));
            }
        } else {
            m_pGrid->SetCellType(row, 1, CLynGridCtrl::GVET_READONLY);
            m_pGrid->SetItemText(row, 1, items.empty() ? QString() : FromCp1252(items.front()));
            m_pGrid->SetItemBkColour(row, 1, kReadOnlyGrey);
        }
    }
    m_pGrid->SetFocusCell(0, 1);
    m_pGrid->setFocus();
}

void CPropertyDlg::OnOK() {
    for (int row = 0; row < m_nCount && row < m_pGrid->GetRowCount(); ++row)
        if (m_pProperties[row]) m_pProperties[row]->SetSelText(ToCp1252(m_pGrid->GetItemText(row, 1)));
    accept();
}
