#pragma once

#include <QLineEdit>

#include <functional>
#include <optional>

// The in-place editor of a recipient label: after each printable character typed at its end it
// asks for a completion of the text and shows it with the completed part selected, so that the
// next character typed replaces that part.
class RecipientLabelEdit final : public QLineEdit
{
    Q_OBJECT

public:
    // The name that completes a typed text, or nothing.
    using Completer = std::function<std::optional<QString>(const QString& typed)>;

    RecipientLabelEdit(Completer completer, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void complete();

    Completer m_completer;
};
