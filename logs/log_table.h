// SPDX-License-Identifier: GPL-3.0-or-later
// A ride log held in memory, and the reader of CSV logs: our own monitor logs and other
// tools' (comma, semicolon or tab between fields, one header row, a time column found by its
// name, else the row number stands for the time).
//
// A column whose header is a channel key keeps its values as the unit sends them (16-bit
// words or bytes) and is scaled on the way out; every other column keeps floats. A million
// rows of every channel take about 100 MB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rq::logs {

// How a column stores its cells: value = raw * scale + offset.
enum class Storage : std::uint8_t { Word, SignedWord, Byte, Float };

struct ColumnCodec {
  Storage storage = Storage::Float;
  double scale = 1.0;
  double offset = 0.0;
};

// The codec of a header, when the header is a channel key.
using CodecLookup = std::function<std::optional<ColumnCodec>(std::string_view header)>;
// The codecs of the channel table.
std::optional<ColumnCodec> ChannelCodec(std::string_view header);

class LogColumn {
 public:
  LogColumn(std::string name, ColumnCodec codec) : name_(std::move(name)), codec_(codec) {}

  const std::string& name() const { return name_; }
  const ColumnCodec& codec() const { return codec_; }
  // True when the header was a channel key and the cells are kept as raw words or bytes.
  bool isRaw() const { return codec_.storage != Storage::Float; }
  std::size_t size() const;

  double value(std::size_t row) const {
    switch (codec_.storage) {
      case Storage::Word: return words_[row] * codec_.scale + codec_.offset;
      case Storage::SignedWord: return signedWords_[row] * codec_.scale + codec_.offset;
      case Storage::Byte: return bytes_[row] * codec_.scale + codec_.offset;
      case Storage::Float: break;
    }
    return floats_[row];
  }
  // The raw cell of a word or byte column (the float's value, rounded, for a float column).
  int raw(std::size_t row) const;

  // Direct access for fast passes; only the one matching storage() is filled.
  const std::vector<std::uint16_t>& words() const { return words_; }
  const std::vector<std::int16_t>& signedWords() const { return signedWords_; }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  const std::vector<float>& floats() const { return floats_; }

  std::size_t memoryBytes() const;

 private:
  friend class CsvLoader;
  std::string name_;
  ColumnCodec codec_;
  std::vector<std::uint16_t> words_;
  std::vector<std::int16_t> signedWords_;
  std::vector<std::uint8_t> bytes_;
  std::vector<float> floats_;
};

class LogTable {
 public:
  std::size_t rows() const { return time_.size(); }
  // Seconds from the first row (or the row number when the log has no time column).
  const std::vector<double>& time() const { return time_; }
  double time(std::size_t row) const { return time_[row]; }
  // The header of the time column; empty when the row number stands for the time.
  const std::string& timeColumn() const { return timeColumn_; }
  // Milliseconds since the epoch (local time read as written) of the first row, when the time
  // column holds date-time stamps.
  std::optional<std::int64_t> startMs() const { return startMs_; }

  // The value columns, in file order, the time column left out.
  const std::vector<LogColumn>& columns() const { return columns_; }
  // The index of the column with this header, or -1.
  int find(std::string_view header) const;
  const LogColumn& column(std::size_t i) const { return columns_[i]; }

  // The last row at or before time t (0 when t is before the first row); rows() must be > 0.
  std::size_t rowAtOrBefore(double t) const;

  std::size_t memoryBytes() const;

 private:
  friend class CsvLoader;
  std::vector<double> time_;
  std::string timeColumn_;
  std::optional<std::int64_t> startMs_;
  std::vector<LogColumn> columns_;
};

// Files larger than this are refused before any reading.
inline constexpr std::uint64_t kMaxLogBytes = 1ull << 30;  // 1 GiB
// A longer line is refused: a file is read in pieces, never whole.
inline constexpr std::size_t kMaxLineBytes = 1u << 20;  // 1 MiB
// A number time beyond this many seconds either way is refused (Unix time in seconds fits).
inline constexpr double kMaxTimeSeconds = 1e12;

struct LoadOptions {
  CodecLookup codecFor = ChannelCodec;
  std::uint64_t maxBytes = kMaxLogBytes;
  // LoadCsvFile calls this after every piece it reads, with the bytes read so far and the
  // file's size, on the thread that loads; returning false stops the load (LoadResult's
  // cancelled). A window loading on a worker thread shows the progress and stays closable.
  std::function<bool(std::uint64_t done, std::uint64_t total)> progress;
  // When set, only the columns it accepts by header name are read; the fields of the others
  // are neither parsed nor kept (a row must still have the header's number of fields). The
  // time column is always read.
  std::function<bool(std::string_view name)> keepColumn;
  // When set, a column it gives a bound for (a finite number) holds no value beyond that bound
  // either way: such a value fails the load, naming its line and column.
  std::function<double(std::string_view name)> bound;
  // A log still being written: LoadCsvFile also hands out the LogTail that reads the rows
  // written after the load.
  bool keepTail = false;
};

struct LoadError {
  std::size_t line = 0;    // 1-based line of the file, 0 when not about one line
  std::size_t column = 0;  // 1-based field, 0 when not about one field
  std::string message;     // whole sentence, naming the line and column when known
};

class LogTail;

struct LoadResult {
  std::optional<LogTable> table;  // set on success only: a log loads whole or not at all
  LoadError error;
  bool cancelled = false;  // the progress callback stopped the load
  std::shared_ptr<LogTail> tail;  // with LoadOptions::keepTail, on success
  bool ok() const { return table.has_value(); }
};

class CsvLoader;

// The rows a log gains after it was read, as `tail -f` shows them: the reader goes on where
// the load stopped, with the same columns, separator and time, and takes each line once it
// is whole.
class LogTail {
 public:
  ~LogTail();
  LogTail(const LogTail&) = delete;
  LogTail& operator=(const LogTail&) = delete;

  // Appends the rows of the lines completed since the last call (at most 1 MB of them) to
  // `table`, the table the load made, and returns how many. A line that cannot be read, a
  // file made shorter or replaced stop the following: `error` says why, now and on every
  // later call.
  std::size_t poll(LogTable& table, std::string& error);
  bool stopped() const { return !error_.empty(); }

 private:
  friend LoadResult LoadCsvFile(const std::string& path, const LoadOptions& options);
  LogTail(std::unique_ptr<CsvLoader> loader, std::string path, std::uint64_t offset,
          std::uint64_t device, std::uint64_t inode);
  std::unique_ptr<CsvLoader> loader_;
  std::string path_;
  std::uint64_t offset_ = 0;  // the start of the first line not yet taken
  std::uint64_t device_ = 0, inode_ = 0;
  std::string error_;
};

// Reads a log from a file, or from text already in memory (the same rules). Only a regular
// file is opened; a FIFO, device or folder is refused before it is opened. A value that does
// not fit its column (beyond a float's range), a number time beyond kMaxTimeSeconds, a line
// longer than kMaxLineBytes and UTF-16 text are refused with a message naming the place.
LoadResult LoadCsvFile(const std::string& path, const LoadOptions& options = {});
LoadResult ParseCsvText(std::string_view text, const LoadOptions& options = {});

}  // namespace rq::logs
