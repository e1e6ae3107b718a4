// What Kaplet.exe shows, written out by the tests themselves: its window's
// class and title. The program keeps them once in its own texts.h; the
// tests keep this copy on purpose and never include that header, so that a
// text changed there by mistake fails a test instead of changing with it
// (the request codes in benchlib.h are written out for the same reason).
// The trace lines the cases read are written out whole, numbers included,
// in the cases themselves.
#ifndef KAPLETTEXTS_H
#define KAPLETTEXTS_H

namespace kaplet {

constexpr char kToolClass[] = "SwapBottun";
constexpr char kToolTitle[] = "RIGHT";

}  // namespace kaplet

#endif
