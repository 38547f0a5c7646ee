#include "CodeEditorPane.h"

#include "QtGraphics.h"

#include "vcl/Dialogs.h"

#include <QPainter>
#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTabBar>
#include <QTextBlock>

namespace designer {

namespace {

// SQL colouring: key words, quoted names and strings, numbers, comments.
class TSQLHighlighter : public QSyntaxHighlighter {
public:
  explicit TSQLHighlighter(QTextDocument* Doc) : QSyntaxHighlighter(Doc) {
    FKeyword.setForeground(QColor(0, 0, 160));
    FKeyword.setFontWeight(QFont::Bold);
    FString.setForeground(QColor(160, 0, 0));
    FNumber.setForeground(QColor(0, 128, 128));
    FComment.setForeground(QColor(0, 128, 0));
    FComment.setFontItalic(true);
    const char* words[] = {"select",    "from",    "where",      "and",     "or",      "not",    "insert", "into",
                           "values",    "update",  "set",        "delete",  "create",  "table",  "view",   "index",
                           "drop",      "alter",   "as",         "on",      "join",    "left",   "right",  "inner",
                           "outer",     "group",   "by",         "order",   "having",  "union",  "all",    "distinct",
                           "null",      "is",      "in",         "like",    "between", "exists", "if",     "primary",
                           "key",       "unique",  "references", "default", "begin",   "end",    "commit", "rollback",
                           "procedure", "returns", "case",       "when",    "then",    "else",   "limit",  "integer",
                           "varchar",   "text",    "real"};
    QStringList alternatives;
    for (const char* w : words) alternatives << w;
    FKeywords = QRegularExpression("\\b(" + alternatives.join('|') + ")\\b", QRegularExpression::CaseInsensitiveOption);
  }

protected:
  void highlightBlock(const QString& Text) override {
    for (auto m = FKeywords.globalMatch(Text); m.hasNext();) {
      auto k = m.next();
      setFormat(static_cast<int>(k.capturedStart()), static_cast<int>(k.capturedLength()), FKeyword);
    }
    static const QRegularExpression number("\\b\\d+(\\.\\d+)?\\b");
    for (auto m = number.globalMatch(Text); m.hasNext();) {
      auto k = m.next();
      setFormat(static_cast<int>(k.capturedStart()), static_cast<int>(k.capturedLength()), FNumber);
    }
    static const QRegularExpression quoted("'([^']|'')*'?|\"[^\"]*\"?");
    for (auto m = quoted.globalMatch(Text); m.hasNext();) {
      auto k = m.next();
      setFormat(static_cast<int>(k.capturedStart()), static_cast<int>(k.capturedLength()), FString);
    }
    // Line comments, and block comments that may span lines.
    static const QRegularExpression line("--[^\n]*");
    if (auto m = line.match(Text); m.hasMatch())
      setFormat(static_cast<int>(m.capturedStart()), static_cast<int>(m.capturedLength()), FComment);
    setCurrentBlockState(0);
    int start = previousBlockState() == 1 ? 0 : static_cast<int>(Text.indexOf("/*"));
    while (start >= 0) {
      const int end = static_cast<int>(Text.indexOf("*/", start + (previousBlockState() == 1 && start == 0 ? 0 : 2)));
      const int length = end < 0 ? static_cast<int>(Text.length()) - start : end - start + 2;
      if (end < 0) setCurrentBlockState(1);
      setFormat(start, length, FComment);
      start = end < 0 ? -1 : static_cast<int>(Text.indexOf("/*", start + length));
    }
  }

private:
  QRegularExpression FKeywords;
  QTextCharFormat FKeyword, FString, FNumber, FComment;
};

class TLineNumberArea : public QWidget {
public:
  explicit TLineNumberArea(TCodeEditorTab* Editor) : QWidget(Editor), FEditor(Editor) {}
  QSize sizeHint() const override { return QSize(FEditor->LineNumberAreaWidth(), 0); }

protected:
  void paintEvent(QPaintEvent* Event) override { FEditor->PaintLineNumbers(Event); }

private:
  TCodeEditorTab* FEditor;
};

QString TabTitle(TTextModule* Module) { return QStr(Module->GetFileName()) + (Module->IsModified() ? " *" : ""); }

}  // namespace

// ------------------------------------------------------------------ TCodeEditorTab

TCodeEditorTab::TCodeEditorTab(std::shared_ptr<TTextModule> Module, QWidget* Parent)
    : QPlainTextEdit(Parent), FModule(std::move(Module)), FLineNumbers(new TLineNumberArea(this)) {
  QFont f(FixedFontFamily());
  f.setPixelSize(13);
  setFont(f);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setPlainText(QStr(FModule->Text()));
  new TSQLHighlighter(document());
  connect(this, &QPlainTextEdit::blockCountChanged, this,
          [this] { setViewportMargins(LineNumberAreaWidth(), 0, 0, 0); });
  connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
    if (dy)
      FLineNumbers->scroll(0, dy);
    else
      FLineNumbers->update(0, rect.y(), FLineNumbers->width(), rect.height());
  });
  setViewportMargins(LineNumberAreaWidth(), 0, 0, 0);
}

int TCodeEditorTab::LineNumberAreaWidth() const {
  int digits = 1;
  for (int n = std::max(1, blockCount()); n >= 10; n /= 10) ++digits;
  return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(digits, 2);
}

void TCodeEditorTab::resizeEvent(QResizeEvent* Event) {
  QPlainTextEdit::resizeEvent(Event);
  const QRect cr = contentsRect();
  FLineNumbers->setGeometry(QRect(cr.left(), cr.top(), LineNumberAreaWidth(), cr.height()));
}

void TCodeEditorTab::PaintLineNumbers(QPaintEvent* Event) {
  QPainter painter(FLineNumbers);
  painter.fillRect(Event->rect(), QColor(240, 240, 240));
  painter.setPen(QColor(128, 128, 128));
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  while (block.isValid() && top <= Event->rect().bottom()) {
    const int height = qRound(blockBoundingRect(block).height());
    if (block.isVisible())
      painter.drawText(0, top, FLineNumbers->width() - 4, height, Qt::AlignRight,
                       QString::number(block.blockNumber() + 1));
    top += height;
    block = block.next();
  }
}

// ------------------------------------------------------------------ TCodeEditorPane

TCodeEditorPane::TCodeEditorPane(TModuleServices& Services, QWidget* Parent) : QTabWidget(Parent), FServices(Services) {
  setObjectName("CodeEditor");
  setTabsClosable(true);
  setDocumentMode(true);
  connect(this, &QTabWidget::tabCloseRequested, this, [this](int index) { CloseTab(index); });
}

TCodeEditorTab* TCodeEditorPane::Tab(int Index) const { return qobject_cast<TCodeEditorTab*>(widget(Index)); }
TCodeEditorTab* TCodeEditorPane::CurrentTab() const { return Tab(currentIndex()); }

void TCodeEditorPane::ShowModule(TTextModule& Module) {
  for (int i = 0; i < count(); ++i)
    if (Tab(i)->Module() == &Module) {
      setCurrentIndex(i);
      show();
      return;
    }
  std::shared_ptr<TTextModule> held = FServices.FindTextModule(Module.GetFileName());
  if (!held || held.get() != &Module) return;
  auto* tab = new TCodeEditorTab(held, this);
  tab->setObjectName(QStr(Module.GetFileName()));
  connect(tab, &QPlainTextEdit::textChanged, this, [this, tab] {
    if (tab->Module()->IsClosed()) return;
    tab->Module()->ReplaceText(StdStr(tab->toPlainText()));
    Refresh();
    emit ModulesChanged();
  });
  setCurrentIndex(addTab(tab, TabTitle(&Module)));
  show();
}

bool TCodeEditorPane::SaveTab(int Index) {
  TCodeEditorTab* tab = Tab(Index);
  if (!tab) return false;
  try {
    tab->Module()->Save(false, true);
  } catch (const std::exception& e) {
    vcl::MessageDlg(e.what(), vcl::mtError, {vcl::mbOK}, 0);
    return false;
  }
  Refresh();
  emit ModulesChanged();
  return true;
}

bool TCodeEditorPane::CloseTab(int Index) {
  TCodeEditorTab* tab = Tab(Index);
  if (!tab) return false;
  bool closed = false;
  try {
    closed = tab->Module()->IsClosed() || tab->Module()->Close();
  } catch (const std::exception& e) {
    vcl::MessageDlg(e.what(), vcl::mtError, {vcl::mbOK}, 0);
    return false;
  }
  if (!closed) return false;
  Refresh();
  emit ModulesChanged();
  return true;
}

void TCodeEditorPane::Refresh() {
  for (int i = count() - 1; i >= 0; --i) {
    TCodeEditorTab* tab = Tab(i);
    if (tab->Module()->IsClosed()) {
      removeTab(i);
      tab->deleteLater();
      continue;
    }
    tab->setObjectName(QStr(tab->Module()->GetFileName()));
    setTabText(i, TabTitle(tab->Module()));
  }
  setVisible(count() > 0);
}

}  // namespace designer
