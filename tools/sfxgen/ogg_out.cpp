#include "ogg_out.h"

#include <vorbis/vorbisenc.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace sfx {

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

bool WritePage(FILE* f, const ogg_page& page)
{
    return std::fwrite(page.header, 1, static_cast<size_t>(page.header_len), f) ==
               static_cast<size_t>(page.header_len) &&
           std::fwrite(page.body, 1, static_cast<size_t>(page.body_len), f) == static_cast<size_t>(page.body_len);
}

// Owns the libvorbis/libogg state so every exit path releases it.
struct Encoder {
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    bool dspReady = false;
    bool streamReady = false;
    Encoder()
    {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~Encoder()
    {
        if (streamReady)
            ogg_stream_clear(&stream);
        if (dspReady) {
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
};

} // namespace

std::string WriteOgg(const std::string& path, const float* interleaved, size_t frames, int channels, int rate,
                     float quality, uint32_t serial)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    const std::string temp = path + ".part";

    Encoder enc;
    if (vorbis_encode_init_vbr(&enc.info, channels, rate, quality) != 0)
        return "encoder setup failed";
    vorbis_comment_add_tag(&enc.comment, "TITLE", fs::path(path).stem().string().c_str());
    vorbis_analysis_init(&enc.dsp, &enc.info);
    vorbis_block_init(&enc.dsp, &enc.block);
    enc.dspReady = true;
    // A fixed serial keeps the output byte-identical from build to build.
    ogg_stream_init(&enc.stream, static_cast<int>(serial & 0x7FFFFFFF));
    enc.streamReady = true;

    std::unique_ptr<FILE, FileCloser> file(std::fopen(temp.c_str(), "wb"));
    if (!file)
        return "cannot create " + temp;
    bool ok = true;

    ogg_packet header, headerComm, headerCode;
    vorbis_analysis_headerout(&enc.dsp, &enc.comment, &header, &headerComm, &headerCode);
    ogg_stream_packetin(&enc.stream, &header);
    ogg_stream_packetin(&enc.stream, &headerComm);
    ogg_stream_packetin(&enc.stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&enc.stream, &page) != 0)
        ok = ok && WritePage(file.get(), page);

    const size_t chunk = 4096;
    size_t pos = 0;
    bool eos = false;
    while (!eos) {
        size_t n = std::min(chunk, frames - pos);
        if (n == 0) {
            vorbis_analysis_wrote(&enc.dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&enc.dsp, static_cast<int>(n));
            for (size_t i = 0; i < n; ++i) {
                for (int c = 0; c < channels; ++c) {
                    buffer[c][i] = interleaved[(pos + i) * static_cast<size_t>(channels) + static_cast<size_t>(c)];
                }
            }
            vorbis_analysis_wrote(&enc.dsp, static_cast<int>(n));
            pos += n;
        }
        while (vorbis_analysis_blockout(&enc.dsp, &enc.block) == 1) {
            vorbis_analysis(&enc.block, nullptr);
            vorbis_bitrate_addblock(&enc.block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&enc.dsp, &packet) != 0) {
                ogg_stream_packetin(&enc.stream, &packet);
                while (!eos && ogg_stream_pageout(&enc.stream, &page) != 0) {
                    ok = ok && WritePage(file.get(), page);
                    if (ogg_page_eos(&page))
                        eos = true;
                }
            }
        }
        if (n == 0 && !eos) {
            // Flush whatever the last packets left in the stream.
            while (ogg_stream_flush(&enc.stream, &page) != 0) {
                ok = ok && WritePage(file.get(), page);
                if (ogg_page_eos(&page))
                    eos = true;
            }
            eos = true;
        }
    }
    ok = ok && std::fflush(file.get()) == 0;
    file.reset();
    if (!ok) {
        fs::remove(temp, ec);
        return "write failed: " + temp;
    }
    fs::rename(temp, path, ec);
    if (ec)
        return "cannot rename " + temp + ": " + ec.message();
    return {};
}

} // namespace sfx
