#include "platform/BmpCodec.h"
#include "platform/Errors.h"
namespace animora { TBitmap ReadBmp(TStream&) { throw EInvalidGraphic("Bitmap image is not valid"); } }
