#include "preview/zlib_stream.h"

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <limits>

namespace qzf {
namespace {

// Owns one deflate state for the length of a call.
class Deflater {
 public:
  explicit Deflater(int level) { ok_ = deflateInit2(&stream_, level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) == Z_OK; }
  ~Deflater() {
    if (ok_) deflateEnd(&stream_);
  }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  bool ok() const { return ok_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

}  // namespace

std::vector<unsigned char> ZlibCompress(std::span<const unsigned char> data, int level) {
  Deflater deflater(level);
  if (!deflater.ok()) return {};
  z_stream& z = deflater.stream();
  std::vector<unsigned char> out(deflateBound(&z, static_cast<uLong>(data.size())));
  // zlib counts in 32-bit units: a larger block goes in pieces.
  constexpr std::size_t kPiece = std::numeric_limits<uInt>::max();
  std::size_t fed = 0;
  int status = Z_OK;
  while (status == Z_OK) {
    if (z.avail_in == 0 && fed < data.size()) {
      const std::size_t piece = std::min(kPiece, data.size() - fed);
      z.next_in = const_cast<unsigned char*>(data.data() + fed);
      z.avail_in = static_cast<uInt>(piece);
      fed += piece;
    }
    const std::size_t produced = z.total_out;
    z.next_out = out.data() + produced;
    z.avail_out = static_cast<uInt>(std::min(kPiece, out.size() - produced));
    status = deflate(&z, fed == data.size() ? Z_FINISH : Z_NO_FLUSH);
  }
  if (status != Z_STREAM_END) return {};
  out.resize(z.total_out);
  return out;
}

}  // namespace qzf
