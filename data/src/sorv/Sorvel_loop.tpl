<li class="sorvel-photo">
<span data-field="thumb_src"><![CDATA[#THUMB_SRC#]]></span>
<span data-field="slide_src"><![CDATA[#SLIDE_SRC#]]></span>
<a data-field="slide_link" href="#SLIDE_LINK#"><![CDATA[#SLIDE_SRC#]]></a>
<span data-field="thumb_width"><![CDATA[#THUMB_WIDTH#]]></span>
<span data-field="thumb_height"><![CDATA[#THUMB_HEIGHT#]]></span>
<span data-field="slide_width"><![CDATA[#SLIDE_WIDTH#]]></span>
<span data-field="slide_height"><![CDATA[#SLIDE_HEIGHT#]]></span>
<span data-field="date"><![CDATA[#DATE#]]></span>
<span data-field="description"><![CDATA[#DESCRIPTION#]]></span>
</li>
