#include "zip_builder.h"

#include <zlib.h>

#include <stdexcept>

namespace norvane::testing {

namespace {

void put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

std::string rawDeflate(const std::string& data) {
  z_stream zs{};
  if (deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2");
  }
  std::string out(deflateBound(&zs, static_cast<uLong>(data.size())) + 16, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  if (deflate(&zs, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

}  // namespace

ZipImage buildZipImage(const std::vector<ZipEntrySpec>& entries, std::uint64_t totalLength) {
  std::string body;
  std::string central;
  for (const ZipEntrySpec& e : entries) {
    const std::uint32_t offset = static_cast<std::uint32_t>(body.size());
    const std::string payload = e.method == 8 ? rawDeflate(e.data) : e.data;
    const std::uint32_t crc = e.crcOverride.value_or(static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size()))));
    const std::uint32_t size =
        e.declaredSizeOverride.value_or(static_cast<std::uint32_t>(e.data.size()));
    const auto nameLength = static_cast<std::uint32_t>(e.name.size());

    put32(body, 0x04034b50);
    put16(body, 20);
    put16(body, e.flags);
    put16(body, e.method);
    put16(body, 0);     // time
    put16(body, 0x21);  // date: 1980-01-01
    put32(body, crc);
    put32(body, static_cast<std::uint32_t>(payload.size()));
    put32(body, size);
    put16(body, nameLength);
    put16(body, 0);
    body += e.name;
    body += payload;

    put32(central, 0x02014b50);
    put16(central, 0x031E);  // made by: Unix, so upper attribute bits count
    put16(central, 20);
    put16(central, e.flags);
    put16(central, e.method);
    put16(central, 0);
    put16(central, 0x21);
    put32(central, crc);
    put32(central, static_cast<std::uint32_t>(payload.size()));
    put32(central, size);
    put16(central, nameLength);
    put16(central, 0);
    put16(central, 0);
    put16(central, 0);
    put16(central, 0);
    put32(central, e.externalAttributes);
    put32(central, offset);
    central += e.name;
  }
  const std::uint64_t natural = body.size() + central.size() + 22;
  if (totalLength != 0 && totalLength < natural) throw std::runtime_error("segment too small");
  const std::uint64_t gap = totalLength == 0 ? 0 : totalLength - natural;
  std::string tail = central;
  put32(tail, 0x06054b50);
  put16(tail, 0);
  put16(tail, 0);
  put16(tail, static_cast<std::uint32_t>(entries.size()));
  put16(tail, static_cast<std::uint32_t>(entries.size()));
  put32(tail, static_cast<std::uint32_t>(central.size()));
  put32(tail, static_cast<std::uint32_t>(body.size() + gap));
  put16(tail, 0);
  return {std::move(body), gap, std::move(tail)};
}

std::string buildZip(const std::vector<ZipEntrySpec>& entries) {
  ZipImage image = buildZipImage(entries);
  return image.head + image.tail;
}

}  // namespace norvane::testing
