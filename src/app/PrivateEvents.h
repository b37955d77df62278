// The private messages by which the owned windows tell the main window that the user closed them.
// They are delivered synchronously (QCoreApplication::sendEvent): the sender continues only after
// the main window has handled them.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace dt {

inline constexpr QEvent::Type FilterEditorClosed = static_cast<QEvent::Type>(QEvent::User + 100);
inline constexpr QEvent::Type InputViewClosed = static_cast<QEvent::Type>(QEvent::User + 110);

// Sends one of the private messages to the owner and returns once it has been handled.
inline void NotifyOwner(QObject* owner, QEvent::Type type) {
  if (owner == nullptr) return;
  QEvent event(type);
  QCoreApplication::sendEvent(owner, &event);
}

}  // namespace dt
