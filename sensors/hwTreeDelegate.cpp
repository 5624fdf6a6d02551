#include "sensors/hwTreeDelegate.h"

#include <QLineEdit>

hwTreeDelegate::hwTreeDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

hwTreeDelegate::~hwTreeDelegate() = default;

QWidget* hwTreeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const
{
    Q_UNUSED(option)
    if (index.column() != editColumn)
        return nullptr;
    auto* editor = new QLineEdit(parent);
    connect(editor, &QLineEdit::editingFinished, this, &hwTreeDelegate::commitAndCloseEditor);
    return editor;
}

void hwTreeDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    QStyledItemDelegate::setEditorData(editor, index);
}

void hwTreeDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (index.column() != editColumn) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    const auto* lineEdit = qobject_cast<QLineEdit*>(editor);
    if (lineEdit == nullptr || lineEdit->text().isEmpty())
        return;
    model->setData(index, lineEdit->text(), Qt::EditRole);
}

void hwTreeDelegate::commitAndCloseEditor()
{
    auto* editor = qobject_cast<QLineEdit*>(sender());
    if (editor == nullptr || editor->text().isEmpty())
        return;
    emit commitData(editor);
    emit closeEditor(editor);
}
