#include "expression/expression_types.h"

#include <algorithm>

namespace tidewater {

namespace {

constexpr const char* kSimpleKeywords[] = {"long",     "short",  "char",   "int",
                                           "float",    "double", "void",   "unsigned",
                                           "signed",   "const",  "volatile"};

// Sizes may come from user-written counts, so products saturate instead of
// overflowing.
int64_t saturatingMultiply(int64_t a, int64_t b) {
  if (a <= 0 || b <= 0) return 0;
  constexpr int64_t kMax = INT64_MAX;
  return a > kMax / b ? kMax : a * b;
}

}  // namespace

SimpleType::SimpleType(std::vector<std::string> keywords) : keywords_(std::move(keywords)) {}

bool SimpleType::isKeyword(const std::string& word) {
  return std::any_of(std::begin(kSimpleKeywords), std::end(kSimpleKeywords),
                     [&word](const char* keyword) { return word == keyword; });
}

int SimpleType::count(const char* keyword) const {
  return static_cast<int>(std::count(keywords_.begin(), keywords_.end(), keyword));
}

std::string SimpleType::name() const {
  std::string result;
  for (const std::string& keyword : keywords_) {
    if (!result.empty()) result += ' ';
    result += keyword;
  }
  return result.empty() ? "int" : result;
}

int64_t SimpleType::size() const {
  if (count("char") > 0) return 1;
  if (count("short") > 0) return 2;
  if (count("double") > 0 || count("long") >= 2) return 8;
  if (count("void") > 0) return 1;
  return 4;  // int, long and float on the 32-bit target
}

bool SimpleType::isUnsigned() const { return count("unsigned") > 0; }

bool SimpleType::isFloating() const { return count("float") > 0 || count("double") > 0; }

std::unique_ptr<ExpressionType> SimpleType::duplicate() const {
  return std::make_unique<SimpleType>(keywords_);
}

UserType::UserType(std::string typeName, std::unique_ptr<ExpressionType> target)
    : name_(std::move(typeName)), target_(std::move(target)) {}

std::unique_ptr<ExpressionType> UserType::duplicate() const {
  return std::make_unique<UserType>(name_, target_->duplicate());
}

StructType::StructType(std::string tag, std::vector<Field> fields)
    : tag_(std::move(tag)), fields_(std::move(fields)) {}

std::string StructType::name() const { return tag_.empty() ? "struct" : "struct " + tag_; }

int64_t StructType::size() const {
  int64_t total = 0;
  for (const Field& field : fields_) {
    const int64_t fieldSize = field.type->size();
    total = total > INT64_MAX - fieldSize ? INT64_MAX : total + fieldSize;
  }
  return total;
}

std::unique_ptr<ExpressionType> StructType::duplicate() const {
  std::vector<Field> copies;
  for (const Field& field : fields_) {
    copies.push_back(Field{field.name, field.type->duplicate(), field.bitSize});
  }
  return std::make_unique<StructType>(tag_, std::move(copies));
}

RegisterType::RegisterType(int64_t size, std::vector<Field> fields)
    : size_(size), fields_(std::move(fields)) {}

std::string RegisterType::name() const { return "register " + std::to_string(size_); }

std::unique_ptr<ExpressionType> RegisterType::duplicate() const {
  return std::make_unique<RegisterType>(size_, fields_);
}

ArrayType::ArrayType(std::unique_ptr<ExpressionType> element, int64_t count)
    : element_(std::move(element)), count_(count) {}

std::string ArrayType::name() const {
  // An array of arrays lists its own count first, as C declares it.
  std::string result = element_->name();
  const std::string dimension = "[" + std::to_string(count_) + "]";
  const std::size_t bracket = result.find('[');
  return bracket == std::string::npos ? result + dimension : result.insert(bracket, dimension);
}

int64_t ArrayType::size() const { return saturatingMultiply(element_->size(), count_); }

std::unique_ptr<ExpressionType> ArrayType::duplicate() const {
  return std::make_unique<ArrayType>(element_->duplicate(), count_);
}

PointerType::PointerType(std::unique_ptr<ExpressionType> target) : target_(std::move(target)) {}

std::string PointerType::name() const { return target_->name() + " *"; }

std::unique_ptr<ExpressionType> PointerType::duplicate() const {
  return std::make_unique<PointerType>(target_->duplicate());
}

}  // namespace tidewater
