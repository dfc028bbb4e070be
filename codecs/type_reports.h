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
class ResourceDgrp;
class ResourcePalt;
class ResourceSpr;
class ResourceSpr2;

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
// The graphics: headers, each frame without its pixels (the stream's length instead), each
// draw-group image with its sprite list, and the palette's colours as red, green, blue.
void DescribePalt(const ResourcePalt& r, ModelNode& out);
void DescribeSpr(const ResourceSpr& r, ModelNode& out);
void DescribeSpr2(const ResourceSpr2& r, ModelNode& out);
void DescribeDgrp(const ResourceDgrp& r, ModelNode& out);

void StrText(const ResourceStr& r, std::string& out);
void BhavText(const ResourceBhav& r, std::string& out);
void ObjdText(const ResourceObjd& r, std::string& out);

}  // namespace scrivet
