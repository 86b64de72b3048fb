#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tidewater {

/// A type named in an expression, the operand of a cast or of sizeof. The
/// evaluator itself only builds and prints types; a parser that knows a
/// target's memory gives them meaning through its hooks.
class ExpressionType {
 public:
  virtual ~ExpressionType() = default;
  /// The type as C would write it, e.g. "unsigned char *".
  virtual std::string name() const = 0;
  /// Size in bytes on the 32-bit target.
  virtual int64_t size() const = 0;
  virtual std::unique_ptr<ExpressionType> duplicate() const = 0;
};

/// A base type built from the keywords long, short, char, int, float,
/// double, void, unsigned, signed, const and volatile.
class SimpleType : public ExpressionType {
 public:
  /// `keywords` as written; an empty list or only qualifiers mean int.
  explicit SimpleType(std::vector<std::string> keywords);
  static bool isKeyword(const std::string& word);

  std::string name() const override;
  int64_t size() const override;
  std::unique_ptr<ExpressionType> duplicate() const override;
  bool isUnsigned() const;
  bool isFloating() const;

 private:
  int count(const char* keyword) const;
  std::vector<std::string> keywords_;
};

/// A type known to a parser by name (a typedef); it owns what the name
/// stands for.
class UserType : public ExpressionType {
 public:
  UserType(std::string typeName, std::unique_ptr<ExpressionType> target);
  std::string name() const override { return name_; }
  int64_t size() const override { return target_->size(); }
  std::unique_ptr<ExpressionType> duplicate() const override;
  const ExpressionType& target() const { return *target_; }

 private:
  std::string name_;
  std::unique_ptr<ExpressionType> target_;
};

/// A structure: named fields with their types, a bit size for bit-fields
/// (0 otherwise). Fields follow each other without padding.
class StructType : public ExpressionType {
 public:
  struct Field {
    std::string name;
    std::unique_ptr<ExpressionType> type;
    int64_t bitSize = 0;
  };

  StructType(std::string tag, std::vector<Field> fields);
  std::string name() const override;
  int64_t size() const override;
  std::unique_ptr<ExpressionType> duplicate() const override;
  const std::vector<Field>& fields() const { return fields_; }

 private:
  std::string tag_;
  std::vector<Field> fields_;
};

/// A peripheral register of `size` bytes split into bit fields, each given
/// by its lowest bit and its width.
class RegisterType : public ExpressionType {
 public:
  struct Field {
    std::string name;
    int64_t bitOffset = 0;
    int64_t bitSize = 0;
  };

  RegisterType(int64_t size, std::vector<Field> fields);
  std::string name() const override;
  int64_t size() const override { return size_; }
  std::unique_ptr<ExpressionType> duplicate() const override;
  const std::vector<Field>& fields() const { return fields_; }

 private:
  int64_t size_;
  std::vector<Field> fields_;
};

/// `count` elements of the element type.
class ArrayType : public ExpressionType {
 public:
  ArrayType(std::unique_ptr<ExpressionType> element, int64_t count);
  std::string name() const override;
  int64_t size() const override;
  std::unique_ptr<ExpressionType> duplicate() const override;
  const ExpressionType& element() const { return *element_; }
  int64_t count() const { return count_; }

 private:
  std::unique_ptr<ExpressionType> element_;
  int64_t count_;
};

/// A 4-byte pointer to the target type.
class PointerType : public ExpressionType {
 public:
  explicit PointerType(std::unique_ptr<ExpressionType> target);
  std::string name() const override;
  int64_t size() const override { return 4; }
  std::unique_ptr<ExpressionType> duplicate() const override;
  const ExpressionType& target() const { return *target_; }

 private:
  std::unique_ptr<ExpressionType> target_;
};

}  // namespace tidewater
