#pragma once
// The readable reports of the registered types: each model as a tree keyed by its field names,
// and the text forms of the types that read better than the generic tree text. The type table
// names them in each type's row.

#include <string>

#include "codecs/resource_report.h"

namespace scrivet {

class ResourceBcon;
class ResourceBhav;
class ResourceCarr;
class ResourceFwav;
class ResourceGlob;
class ResourceObjd;
class ResourceObjf;
class ResourceStr;
class ResourceTtab;
class ResourceTrcn;

void DescribeStr(const ResourceStr& r, ModelNode& out);
void DescribeBhav(const ResourceBhav& r, ModelNode& out);
void DescribeTtab(const ResourceTtab& r, ModelNode& out);
void DescribeObjd(const ResourceObjd& r, ModelNode& out);
void DescribeObjf(const ResourceObjf& r, ModelNode& out);
void DescribeCarr(const ResourceCarr& r, ModelNode& out);
void DescribeBcon(const ResourceBcon& r, ModelNode& out);
void DescribeFwav(const ResourceFwav& r, ModelNode& out);
void DescribeGlob(const ResourceGlob& r, ModelNode& out);
void DescribeTrcn(const ResourceTrcn& r, ModelNode& out);

void StrText(const ResourceStr& r, std::string& out);
void BhavText(const ResourceBhav& r, std::string& out);
void ObjdText(const ResourceObjd& r, std::string& out);

}  // namespace scrivet
