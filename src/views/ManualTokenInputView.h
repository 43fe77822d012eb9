#pragma once

#include "storage/Environment.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The sheet that stores a pasted personal access token, exactly as typed: saving takes
// a moment (0.1 s before the token is stored, 0.2 s before the sheet closes), during
// which both buttons are disabled and the button reads "Saving...". Return in the field
// does nothing. A token with white space at its ends is stored as it is, with a warning
// under the field, since a copied token often brings a line break along; so is a
// fine-grained token, with a warning that GitHub will not show it notifications.
class ManualTokenInputView : public QDialog
{
    Q_OBJECT

public:
    explicit ManualTokenInputView(const Environment& environment, QWidget* parent = nullptr);

    bool isSaving() const { return m_isSaving; }

Q_SIGNALS:
    // The token was stored and this sheet closed.
    void tokenSaved();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void reject() override;

private:
    void save();
    void updateControls();
    // The warnings in orange, the light or dark one as the palette is.
    void applyColors();

    Environment m_environment;
    QLineEdit* m_tokenField;
    QLabel* m_fineGrainedWarning;
    QLabel* m_whitespaceWarning;
    QPushButton* m_cancelButton;
    QPushButton* m_saveButton;
    bool m_isSaving = false;
};
