#pragma once
// What every part of the stand-in shares. Used on the stand-in's thread only.

#include <boost/asio/io_context.hpp>
#include <string>

#include "PhoneSim.h"
#include "PhoneSimStats.h"
#include "VideoServer.h"
#include "transport/cipher/AesCbcCipher.h"

struct PhoneContext {
    PhoneContext(boost::asio::io_context& io, const PhoneSimOptions& options, PhoneSimStats& stats)
        : io(io),
          options(options),
          stats(stats),
          answer(options.answer),
          videos(io, options.bindAddress, options.videoBytes, options.videoStallAfter) {}

    void log(const std::string& line) const {
        if (options.log) options.log(line);
    }

    boost::asio::io_context& io;
    const PhoneSimOptions& options;
    PhoneSimStats& stats;
    AesCbcCipher cipher{messageKey()};  // one cipher: it is used on this thread only
    PhoneAnswer answer;
    VideoServers videos;
};
