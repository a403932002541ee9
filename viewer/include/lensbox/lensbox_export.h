#pragma once

#include <QtCore/qglobal.h>

#if defined(LENSBOX_LIBRARY)
#define LENSBOX_EXPORT Q_DECL_EXPORT
#else
#define LENSBOX_EXPORT Q_DECL_IMPORT
#endif
