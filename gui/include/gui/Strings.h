// Lists of strings, each with an optional object pointer: TStrings is the
// interface (list boxes keep theirs in the window), TStringList holds them
// in memory.
#pragma once

#include <string>
#include <vector>

#include "gui/Component.h"
#include "gui/Events.h"

namespace gui {

class TStrings : public TPersistent {
  GUI_CLASS(TStrings, TPersistent)

 public:
  virtual int Count() const = 0;
  // A bad index is an IndexError.
  virtual std::string Strings(int index) const = 0;
  virtual void SetStrings(int index, const std::string& text);
  virtual void* Objects(int index) const { return nullptr; }
  virtual void SetObjects(int index, void* object) {}
  virtual void Insert(int index, const std::string& text) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  int Add(const std::string& text);
  int AddObject(const std::string& text, void* object);
  void InsertObject(int index, const std::string& text, void* object);
  // First exact match, or -1.
  int IndexOf(const std::string& text) const;
  int IndexOfObject(void* object) const;
  // The lines joined with CR LF after each, and back.
  std::string Text() const;
  void SetText(const std::string& text);
  // Batches changes; the list reacts once when the outermost EndUpdate runs.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  void Assign(TPersistent* source) override;

  // EConvertError "List index out of bounds (n)".
  [[noreturn]] static void IndexError(int index);

 protected:
  virtual void SetUpdateState(bool updating) {}

 private:
  int updateCount_ = 0;
};

class TStringList : public TStrings {
  GUI_CLASS(TStringList, TStrings)

 public:
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Strings(int index) const override;
  void SetStrings(int index, const std::string& text) override;
  void* Objects(int index) const override;
  void SetObjects(int index, void* object) override;
  void Insert(int index, const std::string& text) override;
  void Delete(int index) override;
  void Clear() override;

  // Fired after every change outside an update, and once at its end.
  TNotifyEvent OnChange;

 protected:
  void SetUpdateState(bool updating) override;

 private:
  void Changed();
  void Check(int index) const;
  struct Item {
    std::string text;
    void* object = nullptr;
  };
  std::vector<Item> items_;
  bool changedInUpdate_ = false;
};

}  // namespace gui
