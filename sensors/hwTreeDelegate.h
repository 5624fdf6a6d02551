#pragma once

#include <QStyledItemDelegate>

// Item delegate of the sensor tree: only the remark column (`editColumn`) can be edited, in a line
// edit, and an empty text never replaces a remark (clearing the field keeps the old one). GUI
// thread only.
class hwTreeDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY(hwTreeDelegate)

public:
    explicit hwTreeDelegate(QObject* parent = nullptr);
    ~hwTreeDelegate() override;

    int editColumn = 2;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private slots:
    // The sending line edit finished: a non-empty text is committed and the editor closed.
    void commitAndCloseEditor();
};
