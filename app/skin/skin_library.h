#pragma once
// The skinning library as the program uses it: the module SkinH_EL.dll and
// the 33 skins are built-in data; at start-up the module is placed next to
// the program when nothing of its name is there, and one skin is attached
// through the module's export, bound by name at its first call.

#include <QByteArray>
#include <QString>

namespace app {

inline constexpr int kSkinCount = 33;
inline constexpr int kStartupSkin = 11;
inline const QString kSkinLibraryName = QStringLiteral("SkinH_EL.dll");
inline constexpr char kAttachFunctionName[] = "SkinH_AttachRes";

// The export: skin block (or null), its size, a text (empty), three integers
// (0); the result says whether the skin was applied and is not used here.
using AttachSkinFunction = int(const unsigned char* data, int size, const char* options, int, int, int);

// The module's complete file image.
QByteArray skinLibraryImage();
// Skin `number`'s block, or an empty byte string outside 1..kSkinCount.
QByteArray embeddedSkin(int number);

// Where the program places the module: next to the program file.
QString deployedSkinLibraryPath();

// Writes the module next to the program unless an entry of that name (file,
// folder or link, whatever it holds) is already there; a write that fails
// (for example in a read-only folder) is not reported.
void deploySkinLibrary();

// deploySkinLibrary, then hands a copy of skin `number` to the module's
// export (a null block of length 0 for a number outside 1..kSkinCount). The
// export is bound at the first call; when it cannot be bound the program
// ends through reportFatalError.
void applyEmbeddedSkin(int number);

} // namespace app
